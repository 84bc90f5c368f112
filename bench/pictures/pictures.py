#!/usr/bin/env python3
"""Pictures of real PDFs in pwt's .doc, and what they cost.

For each PDF, in one run (the machine is shared: compare ratios, not times):
- images: the PDF's images as `pdfimages -list` counts them (masks and images
  under MIN_SIDE pixels a side left out), against the pictures LibreOffice
  finds in the .doc (draw:frame elements of its flat ODF);
- time: pwt against `pdftotext` + `pdfimages -all` on the same file, each the
  best of ROUNDS runs (target: pwt at most 1.5x their sum);
- memory: pwt's peak resident set (GNU time's %M);
- size: the .doc's bytes against the bytes of the PDF's image streams
  (pdfimages -all writes them as they are stored; target at most 1.3x).
With LO=1 also LibreOffice's own PDF import (`soffice --infilter=
writer_pdf_import --convert-to doc`) on files of at most LO_MAX_PAGES pages
(target: pwt over 50x faster).

    bench/pictures/pictures.py <pwt binary> <file.pdf>...
"""
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

MIN_SIDE = 8
ROUNDS = 3
LO_MAX_PAGES = int(os.environ.get('LO_MAX_PAGES', '30'))
LO_TIMEOUT = int(os.environ.get('LO_TIMEOUT', '300'))
PROFILE = f'file:///tmp/pwt-bench-lo-profile-{os.getpid()}'


def best_time(cmds):
    best = None
    for _ in range(ROUNDS):
        start = time.perf_counter()
        for cmd in cmds:
            subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        took = time.perf_counter() - start
        best = took if best is None else min(best, took)
    return best


def pdf_images(pdf):
    out = subprocess.run(['pdfimages', '-list', pdf], capture_output=True, text=True, errors='replace').stdout
    n = 0
    for line in out.splitlines()[2:]:
        f = line.split()
        if len(f) > 4 and f[2] != 'smask' and f[2] != 'mask' and int(f[3]) >= MIN_SIDE and int(f[4]) >= MIN_SIDE:
            n += 1
    return n


def pages(pdf):
    out = subprocess.run(['pdfinfo', pdf], capture_output=True, text=True, errors='replace').stdout
    m = re.search(r'^Pages:\s+(\d+)', out, re.M)
    return int(m.group(1)) if m else 0


def doc_pictures(doc, work):
    subprocess.run(['soffice', f'-env:UserInstallation={PROFILE}', '--headless', '--convert-to', 'fodt',
                    '--outdir', work, doc], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)
    fodt = os.path.join(work, os.path.splitext(os.path.basename(doc))[0] + '.fodt')
    if not os.path.exists(fodt):
        return -1
    with open(fodt, encoding='utf-8', errors='replace') as f:
        return len(re.findall(r'<draw:frame\b', f.read()))


def main():
    pwt, files = sys.argv[1], sys.argv[2:]
    use_lo = os.environ.get('LO') == '1'
    print(f"{'file':32} {'pages':>5} {'images':>6} {'frames':>6} {'pwt s':>7} {'ref s':>7} {'ratio':>5} "
          f"{'MB':>5} {'doc/img':>7}" + ('  LO/pwt' if use_lo else ''))
    for pdf in files:
        work = tempfile.mkdtemp(prefix='pwt-pictures-')
        doc = os.path.join(work, 'out.doc')
        pwt_s = best_time([[pwt, f'--src={pdf}', f'--dest={doc}']])
        ref_s = best_time([['pdftotext', pdf, os.path.join(work, 'out.txt')],
                           ['pdfimages', '-all', pdf, os.path.join(work, 'img')]])
        image_bytes = sum(os.path.getsize(p) for p in glob.glob(os.path.join(work, 'img-*')))
        mem = subprocess.run(['/usr/bin/time', '-f', '%M', pwt, f'--src={pdf}', f'--dest={doc}'],
                             capture_output=True, text=True).stderr.strip().splitlines()
        peak_mb = int(mem[-1]) / 1024 if mem and mem[-1].isdigit() else -1
        size_ratio = os.path.getsize(doc) / image_bytes if image_bytes and os.path.exists(doc) else float('nan')
        line = (f'{os.path.basename(pdf)[:32]:32} {pages(pdf):5} {pdf_images(pdf):6} {doc_pictures(doc, work):6} '
                f'{pwt_s:7.2f} {ref_s:7.2f} {pwt_s / ref_s:5.2f} {peak_mb:5.0f} {size_ratio:7.2f}')
        if use_lo and pages(pdf) <= LO_MAX_PAGES:
            # Its own profile and process group: a stopped import must not
            # leave a LibreOffice holding the profile the next file needs.
            start = time.perf_counter()
            lo = subprocess.Popen(['soffice', f'-env:UserInstallation={PROFILE}-import', '--headless',
                                   '--infilter=writer_pdf_import', '--convert-to', 'doc', '--outdir',
                                   os.path.join(work, 'lo'), pdf], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, start_new_session=True)
            try:
                lo.wait(timeout=LO_TIMEOUT)
                line += f'  {(time.perf_counter() - start) / pwt_s:6.0f}'
            except subprocess.TimeoutExpired:
                os.killpg(lo.pid, signal.SIGKILL)
                lo.wait()
                line += f'  >{LO_TIMEOUT / pwt_s:5.0f}'
        print(line, flush=True)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
