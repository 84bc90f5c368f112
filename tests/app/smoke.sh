#!/bin/sh
# Opens the real program on an X server (run under xvfb-run) with a saved
# output folder, checks that its window shows with the caption and size,
# then closes it. Settings live in a temporary folder.
# usage: smoke.sh <program>
set -eu
program=$1
title='VelkaroPDF转换成Word转换器 V17.8'

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[softinfo]\nsavepath=/no/such/folder/\n' > "$XDG_CONFIG_HOME/VelkaroPDF转换成Word转换器.ini"

"$program" &
pid=$!

window=
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | awk '{print $1}' | head -n1) || true
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended before showing its window"; exit 1; }
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window titled $title"; exit 1; }

info=$(xwininfo -id "$window")
width=$(echo "$info" | awk '/Width:/ {print $2}')
height=$(echo "$info" | awk '/Height:/ {print $2}')
state=$(echo "$info" | awk '/Map State:/ {print $3}')
echo "window $window: ${width}x${height} $state"
[ "$width" = 667 ] && [ "$height" = 517 ] || { echo "FAIL: size ${width}x${height}"; exit 1; }
[ "$state" = IsViewable ] || { echo "FAIL: not viewable"; exit 1; }

# Ends the program; closing by the window manager is covered by the window tests.
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=
echo PASS
