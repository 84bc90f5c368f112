#!/usr/bin/env bash
# Builds pwt's fuzz target and runs it:
#   tests/fuzz/run_fuzzer.sh <seconds> [build-folder]
# The build folder is the argument, else $PWT_FUZZ_BUILD, else build-fuzz/
# beside the sources. Needs clang and libFuzzer (Debian: clang libclang-rt-14-dev).
#
# Our code (the converter's libraries) is built with ASan, UBSan and libFuzzer's
# coverage. Poppler and libgsf are Debian's libraries as installed, not
# instrumented: their own faults show only as crashes or as bad accesses to
# memory our code allocated (ASan replaces malloc for them too), and the
# coverage the fuzzer steers by is our code's alone.
#
# One worker at a time, niced, since the machine is shared; after a crash,
# timeout or running out of memory it goes on with the next input. The working
# corpus grows in <build>/fuzz-corpus (the committed seeds are only read);
# what it finds is copied into tests/fuzz/regressions/, which the hostile-input
# test converts with the release pwt.
set -euo pipefail

seconds=${1:?usage: run_fuzzer.sh <seconds> [build-folder]}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${2:-${PWT_FUZZ_BUILD:-$root/build-fuzz}}

# Per input: a page may take 10 s before pwt cuts it short, and the
# sanitizers slow the converter several times over; past this an input is a
# hang. Memory: half pwt's 4 GiB address-space ceiling, which under ASan
# (whose shadow memory makes address space meaningless) is checked as RSS.
timeout_seconds=${PWT_FUZZ_TIMEOUT:-30}
rss_limit_mb=${PWT_FUZZ_RSS_MB:-2048}
# Larger inputs explore nothing the mutations of small ones do not, and cost time.
max_len=${PWT_FUZZ_MAX_LEN:-65536}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPWT_FUZZ=ON "${launcher[@]}"
cmake --build "$build" --target pwt_fuzz -j"${PWT_FUZZ_BUILD_JOBS:-2}"

corpus=$build/fuzz-corpus
artifacts=$build/fuzz-artifacts
mkdir -p "$corpus" "$artifacts"
log=$build/fuzz-$(date +%Y%m%d-%H%M%S).log
echo "fuzzing for $seconds s; log: $log"

status=0
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
(cd "$build" && nice -n 10 "$build/bin/pwt_fuzz" "$corpus" "$here/seeds" \
  -dict="$here/pdf.dict" -max_total_time="$seconds" -timeout="$timeout_seconds" \
  -rss_limit_mb="$rss_limit_mb" -malloc_limit_mb="$rss_limit_mb" -max_len="$max_len" \
  -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
  -artifact_prefix="$artifacts/" -print_final_stats=1) >"$log" 2>&1 || status=$?

found=0
# Slow units (past libFuzzer's report threshold, not its time limit) are no fault.
for f in "$artifacts"/crash-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/leak-*; do
  [ -e "$f" ] || continue
  if [ ! -e "$here/regressions/$(basename "$f")" ]; then
    cp "$f" "$here/regressions/"
    found=$((found + 1))
  fi
done
tail -n 20 "$log"
echo "fuzzer exit status $status; $found new input(s) copied into $here/regressions/"
