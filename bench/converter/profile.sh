#!/usr/bin/env bash
# Where pwt's time goes on one PDF: poppler's text extraction (readPage),
# the layout (lines, running heads, reading order, paragraphs, headings) and
# the .doc writer, as shares of perf samples with call graphs; and the run
# time against pdftotext on the same file in the same run.
#   bench/converter/profile.sh <pwt binary> <file.pdf>
set -euo pipefail
pwt=$1 pdf=$2
work=$(mktemp -d /tmp/pwt-profile.XXXXXX)
trap 'rm -rf "$work"' EXIT
perf record -q -o "$work/perf.data" --call-graph dwarf,16384 -F 499 "$pwt" --src="$pdf" --dest="$work/out.doc" 2>/dev/null
perf report -i "$work/perf.data" --stdio --children --sort symbol 2>/dev/null |
  awk '$1 ~ /%$/ && $2 ~ /%$/ && /PdfReader::readPage/ {e=$1}
       $1 ~ /%$/ && $2 ~ /%$/ && /DocumentBuilder::addPage/ {a=$1}
       $1 ~ /%$/ && $2 ~ /%$/ && /DocumentBuilder::finish/ {f=$1}
       $1 ~ /%$/ && $2 ~ /%$/ && /doc::writeWordDocument/ {w=$1}
       END {printf "extraction (poppler, readPage) %s\nlayout: per page %s, whole document %s\nwriter %s\n", e, a, f, w}'
if command -v hyperfine >/dev/null; then
  hyperfine -N -w 1 -r 5 "$pwt --src=$pdf --dest=$work/h.doc" "pdftotext $pdf $work/h.txt" | grep -E 'Benchmark|Time|faster'
fi
