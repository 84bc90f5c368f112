#!/usr/bin/env bash
# Reruns the converter's speed benchmark (bench/converter/speed.sh) on its set
# of real PDFs from Debian's TeX documentation, so that the cost of the
# formatting work shows against pdftotext and LibreOffice in the same run.
#   bench/formatting/speed.sh <pwt binary>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pwt=${1:?usage: $0 <pwt binary>}
D=${TEXDOC:-/usr/share/doc/texlive-doc}
set_files=(
  "$D/latex/url/url.pdf" "$D/bibtex/base/btxdoc.pdf" "$D/latex/natbib/natbib.pdf"
  "$D/latex/texproposal/texproposal.pdf" "$D/latex/ctex-faq/ctex-faq.pdf"
  "$D/latex/install-latex-guide-zh-cn/install-latex-guide-zh-cn.pdf"
  "$D/latex/hyperref/hyperref-doc.pdf" "$D/latex/ctex/ctex.pdf" "$D/latex/babel/babel.pdf"
  "$D/latex/l3kernel/interface3.pdf"
)
for f in "${set_files[@]}"; do
  [ -f "$f" ] || { echo "missing $f: apt-get install --no-install-recommends texlive-latex-base-doc texlive-lang-chinese" >&2; exit 1; }
done
exec "$here/../converter/speed.sh" "$pwt" "${set_files[@]}"
