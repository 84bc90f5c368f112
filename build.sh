#!/usr/bin/env bash
# Set-up on a fresh Debian 12 machine:
#   ./build.sh run    installs what is missing, builds, and opens the window
#   ./build.sh test   installs what is missing, builds, and runs every test through CTest
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
build_dir=${BUILD_DIR:-build}

# Build and run time needs (Tesseract with its Chinese, English and
# orientation data recognises scanned pages); the readers that check our .doc
# output; a CJK font for the window's Chinese texts; Xvfb for the window's tests.
packages=(
  g++ cmake make pkg-config dpkg-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libpoppler-private-dev libgsf-1-dev libpng-dev libjpeg-dev
  libtesseract-dev tesseract-ocr-chi-sim tesseract-ocr-eng tesseract-ocr-osd
  fonts-noto-cjk xdg-utils x11-utils
)
test_packages=(
  xvfb xauth poppler-utils antiword catdoc wv libreoffice-writer-nogui fonts-liberation2 fonts-dejavu-core fonts-lmodern
)
[ "$mode" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j"$(nproc)"

case "$mode" in
  run)  exec "$build_dir/bin/velkaro-pdf2word" ;;
  test) cd "$build_dir" && ctest --output-on-failure -j"$(nproc)" ;;
  *)    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
