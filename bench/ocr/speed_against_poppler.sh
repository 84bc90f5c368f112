#!/usr/bin/env bash
# pwt's time on each PDF against poppler's own tools doing the reading part
# of the same work: pdftotext (the text) plus pdfimages (listing and writing
# the pictures). Same run, interleaved, best of three of each; wall-clock and
# CPU (user + system) seconds, since the machine is shared and the wall clock
# follows its load. The target is pwt/ref <= 1.5 on text documents: whatever
# pwt adds for scans (deciding which pages are scans) and figures must stay
# small beside the reading.
#   bench/ocr/speed_against_poppler.sh <pwt binary> <file.pdf>...
set -euo pipefail
pwt=$1; shift
work=$(mktemp -d /tmp/pwt-speed.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/img"

# Runs "$@" and prints "<wall> <cpu>" seconds.
timed() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null 2>&1 || true
  awk '{printf "%.3f %.3f\n", $1, $2 + $3}' "$work/time"
}
reference() {
  pdftotext "$1" "$work/out.txt" && pdfimages -list "$1" >/dev/null && pdfimages "$1" "$work/img/x"
  rm -f "$work"/img/*
}
best() { sort -n | head -1; }

printf '%-24s %8s %8s %6s   %8s %8s %6s\n' file 'pwt s' 'ref s' ratio 'pwt cpu' 'ref cpu' ratio
for pdf in "$@"; do
  : >"$work/p"; : >"$work/r"
  for round in 1 2 3; do
    timed "$pwt" --src="$pdf" --dest="$work/out.doc" >>"$work/p"
    export -f reference; export work
    timed bash -c 'reference "$0"' "$pdf" >>"$work/r"
  done
  pw=$(cut -d' ' -f1 "$work/p" | best); pc=$(cut -d' ' -f2 "$work/p" | best)
  rw=$(cut -d' ' -f1 "$work/r" | best); rc=$(cut -d' ' -f2 "$work/r" | best)
  printf '%-24s %8.2f %8.2f %6.2f   %8.2f %8.2f %6.2f\n' "$(basename "$pdf" .pdf)" "$pw" "$rw" \
    "$(echo "$pw / $rw" | bc -l)" "$pc" "$rc" "$(echo "$pc / $rc" | bc -l)"
done
