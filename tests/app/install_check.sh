#!/bin/sh
# Installs the build into a temporary prefix, or with "deb" builds the Debian
# package and unpacks it there, checks that the desktop finds the program, its
# entry and icons, that pwt runs from bin/, then opens the installed program on
# an X server (run under xvfb-run) through its link in bin/.
# usage: install_check.sh <build dir> <smoke.sh> <version> [deb]
set -eu
build=$1
smoke=$2
version=$3
mode=${4:-install}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"

fail() { echo "FAIL: $*"; exit 1; }
if [ "$mode" = deb ]; then
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
    deb="$work/package/velkaro-pdf2word_${version}_$(dpkg --print-architecture).deb"
    [ -f "$deb" ] || fail "no $deb"
    dpkg-deb -x "$deb" "$root"
    # The package's files are all under /usr; the menu entry names the program there.
    [ "$(ls "$root")" = usr ] || fail "package files outside /usr: $(ls "$root")"
    program_path=/usr/bin/velkaro-pdf2word
    # Read from the programs by dpkg-shlibdeps: each library with its least version.
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for library in libc6 libqt6widgets6 libqt6network6 libpoppler libgsf-1; do
        echo "$depends" | grep -Eq "(^|, )$library[^ ,]* \(>= " || fail "Depends lacks $library"
    done
else
    cmake --install "$build" --prefix "$root/usr" >/dev/null
    program_path=$root/usr/bin/velkaro-pdf2word
fi

folder="$root/usr/lib/velkaro-pdf2word"
for f in "$folder/velkaro-pdf2word" "$folder/pwt" "$folder/longhorn.she" \
         "$root/usr/share/applications/velkaro-pdf2word.desktop"; do
    [ -f "$f" ] || fail "missing $f"
done
for size in 16 32 48 64; do
    [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/velkaro-pdf2word.png" ] || fail "icon $size"
done
for program in velkaro-pdf2word pwt; do
    [ "$(readlink -f "$root/usr/bin/$program")" = "$(readlink -f "$folder/$program")" ] \
        || fail "bin/$program does not lead to the program folder"
done
entry="$root/usr/share/applications/velkaro-pdf2word.desktop"
grep -qx 'Name=VelkaroPDF转换成Word转换器' "$entry" || fail "desktop entry name"
grep -qx 'Icon=velkaro-pdf2word' "$entry" || fail "desktop entry icon"
grep -qx "Exec=$program_path" "$entry" || fail "desktop entry command"
[ "$("$root/usr/bin/pwt" --version)" = "pwt $version" ] || fail "pwt --version"

sh "$smoke" "$root/usr/bin/velkaro-pdf2word"
