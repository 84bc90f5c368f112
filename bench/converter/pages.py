#!/usr/bin/env python3
"""Pages and reading order of pwt's .doc against the PDF.

For each PDF: Word pages (LibreOffice lays the .doc out and exports a PDF;
pdfinfo counts its pages) per PDF page, and the share of the PDF's text lines
that the .doc's main text holds in the same order (the longest run of lines in
increasing position, over the lines found at all). The PDF's lines come in
poppler's reading order ("in order") and in the order the page draws them
("raw order": for TeX documents the author's order, floats aside); neither is
right on every page, so both are shown. Lines shorter than MIN_CHARS (page
numbers, formula bits) are not counted: they are neither unique nor telling.
Lines found only in the .doc's footnotes are counted apart ("notes").

    bench/converter/pages.py <pwt binary> <file.pdf>...
"""
import bisect
import os
import re
import statistics
import subprocess
import sys
import tempfile
import unicodedata

import docstories

MIN_CHARS = 20
PROFILE = f'file:///tmp/pwt-bench-lo-profile-{os.getpid()}'  # one per run: runs may overlap


def squeeze(text):
    text = unicodedata.normalize('NFKC', text)
    return re.sub(r'[\W_]+', '', text).lower()


def pages(pdf):
    out = subprocess.run(['pdfinfo', pdf], capture_output=True, encoding='utf-8', errors='replace').stdout
    m = re.search(r'^Pages:\s+(\d+)', out, re.M)
    return int(m.group(1)) if m else 0


def longest_increasing(seq):
    tails = []
    for x in seq:
        i = bisect.bisect_left(tails, x)
        if i == len(tails):
            tails.append(x)
        else:
            tails[i] = x
    return len(tails)


def order_share(pdf, doc, raw=False):
    """(share in order, lines found in the body, lines found in notes, lines counted).

    A line found only in a footnote is not in the order measure: Word sets a note
    at the foot of its mark's page, wherever the .doc stores it."""
    args = ['pdftotext', '-enc', 'UTF-8'] + (['-raw'] if raw else []) + [pdf, '-']
    lines = subprocess.run(args, capture_output=True, encoding='utf-8', errors='replace').stdout
    body, notes = (squeeze(t) for t in docstories.body_and_notes(doc))
    positions, in_notes, wanted = [], 0, 0
    last = 0
    for line in lines.splitlines():
        key = squeeze(line)
        if len(key) < MIN_CHARS:
            continue
        wanted += 1
        at = body.find(key, last)
        if at < 0:
            at = body.find(key)
        if at < 0:
            in_notes += key in notes
            continue
        positions.append(at)
        last = at
    found = len(positions)
    return (longest_increasing(positions) / found if found else 1.0), found, in_notes, wanted


def main():
    pwt, pdfs = sys.argv[1], sys.argv[2:]
    ratios = []
    with tempfile.TemporaryDirectory() as work:
        print(f'{"file":36} {"pdf":>5} {"word":>5} {"ratio":>6} {"in order":>9} {"raw order":>9} {"body+notes/lines":>17}')
        for pdf in pdfs:
            name = os.path.splitext(os.path.basename(pdf))[0]
            doc = os.path.join(work, name + '.doc')
            r = subprocess.run([pwt, f'--src={pdf}', f'--dest={doc}'], capture_output=True, encoding='utf-8', errors='replace')
            if r.returncode != 0:
                print(f'{name:36} pwt failed: {r.stderr.strip()}')
                continue
            subprocess.run(['soffice', f'-env:UserInstallation={PROFILE}', '--headless', '--convert-to', 'pdf',
                            '--outdir', work, doc], capture_output=True)
            word = pages(os.path.join(work, name + '.pdf'))
            src = pages(pdf)
            ratio = word / src if src else 0
            ratios.append(ratio)
            share, found, in_notes, wanted = order_share(pdf, doc)
            raw_share = order_share(pdf, doc, raw=True)[0]
            print(f'{name:36} {src:5} {word:5} {ratio:6.2f} {100 * share:8.1f}% {100 * raw_share:8.1f}% '
                  f'{found:5}+{in_notes:3}/{wanted:5}', flush=True)
    if ratios:
        print(f'median {statistics.median(ratios):.2f}, max {max(ratios):.2f} Word pages per PDF page')


if __name__ == '__main__':
    main()
