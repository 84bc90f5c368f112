#!/usr/bin/env python3
"""Tables of real PDFs in pwt's .doc, and what finding them costs.

For each PDF, in one run (the machine is shared: compare ratios, not times):
- tables: those the finders report (bench_tables, one line each, for checking
  by eye against the PDF's pages) and the tables LibreOffice reads from the
  .doc (table:table elements of its flat ODF);
- cost: the time bench_tables spends finding tables against pwt's whole
  conversion (target: under 15 %), and pwt against `pdftotext` +
  `pdfimages -list` (target: at most 1.5x), each the best of ROUNDS runs.

    bench/tables/tables.py <pwt binary> <bench_tables binary> <file.pdf>...
"""
import os
import re
import subprocess
import sys
import tempfile
import time

ROUNDS = 3
PROFILE = f'file:///tmp/pwt-bench-tables-profile-{os.getpid()}'


def best_time(cmds):
    best = None
    for _ in range(ROUNDS):
        start = time.perf_counter()
        for cmd in cmds:
            subprocess.run(cmd, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        spent = time.perf_counter() - start
        best = spent if best is None else min(best, spent)
    return best


def finding_time(finder, pdf):
    best, listing = None, ''
    for _ in range(ROUNDS):
        out = subprocess.run([finder, pdf], capture_output=True, text=True).stdout
        m = re.search(r'finding tables ([0-9.]+) s', out)
        spent = float(m.group(1)) if m else 0.0
        best = spent if best is None else min(best, spent)
        listing = out
    return best, listing


def main():
    pwt, finder, pdfs = sys.argv[1], sys.argv[2], sys.argv[3:]
    with tempfile.TemporaryDirectory() as work:
        print(f'{"file":32} {"found":>5} {"in .doc":>7} {"find s":>7} {"pwt s":>6} {"share":>6} {"ref s":>6} {"ratio":>5}')
        for pdf in pdfs:
            name = os.path.splitext(os.path.basename(pdf))[0]
            doc = os.path.join(work, name + '.doc')
            spent_pwt = best_time([[pwt, f'--src={pdf}', f'--dest={doc}']])
            spent_ref = best_time([['pdftotext', pdf, os.path.join(work, name + '.txt')], ['pdfimages', '-list', pdf]])
            spent_find, listing = finding_time(finder, pdf)
            found = sum(1 for line in listing.splitlines() if ' rows x ' in line)
            subprocess.run(['soffice', f'-env:UserInstallation={PROFILE}', '--headless', '--convert-to', 'fodt',
                            '--outdir', work, doc], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            fodt = os.path.join(work, name + '.fodt')
            in_doc = open(fodt, encoding='utf-8').read().count('<table:table ') if os.path.exists(fodt) else -1
            print(f'{name[:32]:32} {found:5d} {in_doc:7d} {spent_find:7.3f} {spent_pwt:6.2f} '
                  f'{100 * spent_find / spent_pwt:5.1f}% {spent_ref:6.2f} {spent_pwt / spent_ref:5.2f}')
            if os.environ.get('LIST'):
                print(listing, end='')


if __name__ == '__main__':
    main()
