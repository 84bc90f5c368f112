#!/bin/sh
# Installs the build into a temporary prefix, checks that the desktop finds
# the program, its entry and icons, then opens the installed program on an
# X server (run under xvfb-run) through its link in bin/.
# usage: install_check.sh <build dir> <smoke.sh>
set -eu
build=$1
smoke=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix/usr" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
folder="$prefix/usr/lib/velkaro-pdf2word"
for f in "$folder/velkaro-pdf2word" "$folder/longhorn.she" \
         "$prefix/usr/share/applications/velkaro-pdf2word.desktop"; do
    [ -f "$f" ] || fail "missing $f"
done
for size in 16 32 48 64; do
    [ -f "$prefix/usr/share/icons/hicolor/${size}x${size}/apps/velkaro-pdf2word.png" ] || fail "icon $size"
done
[ "$(readlink -f "$prefix/usr/bin/velkaro-pdf2word")" = "$(readlink -f "$folder/velkaro-pdf2word")" ] \
    || fail "bin/velkaro-pdf2word does not lead to the program folder"
entry="$prefix/usr/share/applications/velkaro-pdf2word.desktop"
grep -qx 'Name=VelkaroPDF转换成Word转换器' "$entry" || fail "desktop entry name"
grep -qx 'Icon=velkaro-pdf2word' "$entry" || fail "desktop entry icon"
grep -qx "Exec=$prefix/usr/bin/velkaro-pdf2word" "$entry" || fail "desktop entry command"

sh "$smoke" "$prefix/usr/bin/velkaro-pdf2word"
