#!/usr/bin/env bash
# Total time of pwt against pdftotext (same files, same run, interleaved, mean
# of three rounds) and against LibreOffice's own PDF import writing .doc.
#   bench/converter/speed.sh <pwt binary> <file.pdf>...
# LibreOffice's import takes minutes on long documents, so it is timed on the
# files of at most LO_MAX_PAGES pages (default 40), each with a time limit of
# LO_TIMEOUT seconds (default 180); a file that reaches the limit counts with
# the limit, so the ratio printed is then a lower bound.
set -euo pipefail
pwt=$1; shift
lo_max_pages=${LO_MAX_PAGES:-40}
lo_timeout=${LO_TIMEOUT:-180}
work=$(mktemp -d /tmp/pwt-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }

declare -A pwt_time pages
pwt_total=0; txt_total=0; pages_total=0
for round in 1 2 3; do
  for pdf in "$@"; do
    name=$(basename "$pdf" .pdf)
    t0=$(now); "$pwt" --src="$pdf" --dest="$work/$name.doc"; t1=$(now)
    pdftotext -enc UTF-8 "$pdf" "$work/$name.txt"; t2=$(now)
    pwt_time[$pdf]=$(echo "${pwt_time[$pdf]:-0} + ($t1 - $t0) / 3" | bc -l)
    pwt_total=$(echo "$pwt_total + $t1 - $t0" | bc -l)
    txt_total=$(echo "$txt_total + $t2 - $t1" | bc -l)
    if [ $round = 1 ]; then
      pages[$pdf]=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
      pages_total=$((pages_total + pages[$pdf]))
      printf '%-40s %5d pages\n' "$name" "${pages[$pdf]}"
    fi
  done
done
pwt_once=$(echo "$pwt_total / 3" | bc -l)
txt_once=$(echo "$txt_total / 3" | bc -l)
printf '\n%d files, %d pages (pwt and pdftotext: mean of 3 rounds)\n' "$#" "$pages_total"
printf 'pwt          %8.2f s\n' "$pwt_once"
printf 'pdftotext    %8.2f s   pwt/pdftotext = %.2f (target <= 2)\n' "$txt_once" "$(echo "$pwt_once / $txt_once" | bc -l)"

mkdir -p "$work/lo"
lo_total=0; lo_pwt=0; lo_files=0; lo_pages=0; timed_out=0
for pdf in "$@"; do
  [ "${pages[$pdf]}" -le "$lo_max_pages" ] || continue
  t0=$(now)
  rc=0
  timeout "$lo_timeout" soffice --headless -env:UserInstallation=file://$work/profile --infilter=writer_pdf_import \
    --convert-to doc --outdir "$work/lo" "$pdf" >/dev/null 2>&1 || rc=$?
  t1=$(now)
  [ $rc = 124 ] && timed_out=$((timed_out + 1))
  lo_total=$(echo "$lo_total + $t1 - $t0" | bc -l)
  lo_pwt=$(echo "$lo_pwt + ${pwt_time[$pdf]}" | bc -l)
  lo_files=$((lo_files + 1)); lo_pages=$((lo_pages + pages[$pdf]))
done
if [ $lo_files -gt 0 ]; then
  bound=""; [ $timed_out -gt 0 ] && bound=">= "
  printf 'LibreOffice  %8.2f s   on %d files of <= %d pages (%d pages), pwt %.2f s on them: LibreOffice/pwt %s%.1f (target > 20); %d converted, %d stopped at %d s\n' \
    "$lo_total" "$lo_files" "$lo_max_pages" "$lo_pages" "$lo_pwt" "$bound" "$(echo "$lo_total / $lo_pwt" | bc -l)" \
    "$(ls "$work/lo" | wc -l)" "$timed_out" "$lo_timeout"
fi
