#!/usr/bin/env python3
"""Words (for CJK text: characters) that catdoc reads from pwt's .doc against
the words pdftotext finds in the PDF: recall and precision per file.

A running head or foot stands on every page of the PDF but once in the .doc,
in a header or footer story that Word shows on every page of its section;
catdoc prints each story once. Our side therefore counts the header stories
as Word shows them, page by page (docstories.py), in place of catdoc's one copy.

    bench/converter/fidelity.py <pwt binary> <file.pdf>...
"""
import collections
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

import docstories

# Radicals supplement forms some fonts name instead of the ideograph (NFKC
# leaves them alone); both sides are compared as ideographs.
SUPPLEMENT = {0x2E9F: 0x6BCD, 0x2EA0: 0x6C11, 0x2EC4: 0x897F, 0x2EC5: 0x89C1, 0x2EC6: 0x89D2, 0x2EC8: 0x8BA0,
              0x2EC9: 0x8D1D, 0x2ECB: 0x8F66, 0x2ED1: 0x9577, 0x2ED3: 0x957F, 0x2ED4: 0x95E8, 0x2ED8: 0x9752,
              0x2EDA: 0x9875, 0x2EDB: 0x98CE, 0x2EDC: 0x98DE, 0x2EDD: 0x98DF, 0x2EE0: 0x9963, 0x2EE2: 0x9A6C,
              0x2EE3: 0x9AA8, 0x2EE4: 0x9B3C, 0x2EE5: 0x9C7C, 0x2EE6: 0x9E1F, 0x2EE7: 0x5364, 0x2EE8: 0x9EA6,
              0x2EE9: 0x9EC4, 0x2EEA: 0x9EFE, 0x2EEC: 0x9F50, 0x2EEF: 0x9F99, 0x2EF3: 0x9F9F}

CJK = re.compile(r'[\u2e80-\u9fff\uac00-\ud7af\uf900-\ufaff\U00020000-\U0003ffff]')
WORD = re.compile(r'[^\W_]+', re.UNICODE)


def tokens(text):
    text = unicodedata.normalize('NFKC', text.translate(SUPPLEMENT))
    # A hyphen at a line end splits a word in the PDF's text but not in ours.
    text = re.sub(r'(\w)[-\u00ad]\n(\w)', r'\1\2', text)
    out = collections.Counter()
    for w in WORD.findall(text):
        parts = CJK.split(w)
        for c in CJK.findall(w):
            out[c] += 1
        for p in parts:
            if p:
                out[p.lower()] += 1
    return out


def main():
    pwt, pdfs = sys.argv[1], sys.argv[2:]
    worst = (1.0, 1.0)
    with tempfile.TemporaryDirectory() as work:
        print(f'{"file":40} {"words":>8} {"recall":>8} {"precision":>9}')
        for pdf in pdfs:
            doc = os.path.join(work, 'out.doc')
            r = subprocess.run([pwt, f'--src={pdf}', f'--dest={doc}'], capture_output=True, encoding='utf-8', errors='replace')
            if r.returncode != 0:
                print(f'{os.path.basename(pdf):40} pwt failed: {r.stderr.strip()}')
                continue
            ours = tokens(subprocess.run(['catdoc', '-d', 'utf-8', '-w', doc], capture_output=True, encoding='utf-8', errors='replace').stdout)
            stored, shown = docstories.running_text(doc)
            ours = ours - tokens(stored) + tokens(shown)
            theirs = tokens(subprocess.run(['pdftotext', '-enc', 'UTF-8', pdf, '-'], capture_output=True, encoding='utf-8', errors='replace').stdout)
            common = sum((ours & theirs).values())
            recall = common / max(sum(theirs.values()), 1)
            precision = common / max(sum(ours.values()), 1)
            worst = (min(worst[0], recall), min(worst[1], precision))
            print(f'{os.path.basename(pdf):40} {sum(theirs.values()):8d} {recall:8.4f} {precision:9.4f}')
    print(f'worst: recall {worst[0]:.4f}, precision {worst[1]:.4f} (target >= 0.99 each)')


if __name__ == '__main__':
    main()
