#!/usr/bin/env bash
# Total time of pwt against pdftotext (same files, same run, interleaved) and
# against LibreOffice's own PDF import writing .doc (one soffice call for all
# files, so its start-up is paid once).
#   bench/converter/speed.sh <pwt binary> <file.pdf>...
set -euo pipefail
pwt=$1; shift
work=$(mktemp -d /tmp/pwt-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }

pwt_total=0; txt_total=0; pages_total=0
for round in 1 2 3; do
  for pdf in "$@"; do
    name=$(basename "$pdf" .pdf)
    t0=$(now); "$pwt" --src="$pdf" --dest="$work/$name.doc"; t1=$(now)
    pdftotext -enc UTF-8 "$pdf" "$work/$name.txt"; t2=$(now)
    pwt_total=$(echo "$pwt_total + $t1 - $t0" | bc -l)
    txt_total=$(echo "$txt_total + $t2 - $t1" | bc -l)
    if [ $round = 1 ]; then
      pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
      pages_total=$((pages_total + pages))
      printf '%-40s %5d pages\n' "$name" "$pages"
    fi
  done
done
mkdir -p "$work/lo"
t0=$(now)
soffice --headless -env:UserInstallation=file://$work/profile --infilter=writer_pdf_import \
  --convert-to doc --outdir "$work/lo" "$@" >/dev/null 2>&1 || true
t1=$(now)
lo_total=$(echo "$t1 - $t0" | bc -l)
pwt_once=$(echo "$pwt_total / 3" | bc -l)
txt_once=$(echo "$txt_total / 3" | bc -l)
printf '\n%d files, %d pages (pwt and pdftotext: mean of 3 rounds)\n' "$#" "$pages_total"
printf 'pwt          %8.2f s\n' "$pwt_once"
printf 'pdftotext    %8.2f s   pwt/pdftotext = %.2f (target <= 2)\n' "$txt_once" "$(echo "$pwt_once / $txt_once" | bc -l)"
printf 'LibreOffice  %8.2f s   LibreOffice/pwt = %.1f (target > 20); %d of %d converted\n' \
  "$lo_total" "$(echo "$lo_total / $pwt_once" | bc -l)" "$(ls "$work/lo" | wc -l)" "$#"
