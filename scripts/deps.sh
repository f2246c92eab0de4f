#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs from Debian what Leafbind needs and is not there yet.
#   deps.sh run   what building and running the program needs
#   deps.sh test  that, plus what the tests, the sanitizer build and the fuzz replay need
set -euo pipefail

run_packages=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libxkbcommon-x11-0
  libjpeg62-turbo-dev libxxhash-dev libwmf-dev libemf2svg-dev libxcb1-dev liblcms2-dev fonts-urw-base35
  fonts-wine fonts-dejavu-core xdg-utils qt6-wayland zlib1g-dev
  libtesseract-dev libleptonica-dev tesseract-ocr-eng tesseract-ocr-osd libqpdf-dev libpng-dev libtiff-dev
)
test_packages=(
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev liblcms2-dev
  qpdf poppler-utils python3 python3-pikepdf
  xvfb xauth xdotool x11-utils imagemagick openbox
  dbus at-spi2-core python3-pyatspi desktop-file-utils man-db
  weston appstream dpkg-dev file xxhash
  default-jre-headless libpdfbox2-java libactivation-java libjaxb-api-java
  tesseract-ocr tesseract-ocr-deu mupdf-tools img2pdf ocrmypdf hyperfine time nodejs libxml2-utils libtiff-tools
  libjpeg-turbo-progs
)

packages=("${run_packages[@]}")
[ "${1:-run}" = test ] && packages+=("${test_packages[@]}")
# Debian packs npm apart from Node.js; other builds of Node.js bring their own.
[ "${1:-run}" = test ] && ! command -v npm >/dev/null && packages+=(npm)

# pdf.js, one of the readers the text layer's tests read back with, from its lock file; once
# installed, nothing more is fetched.
install_test_readers() {
  local readers
  readers="$(dirname "$0")/../tests/readers"
  [ -f "$readers/node_modules/pdfjs-dist/package.json" ] && return 0
  (cd "$readers" && npm ci --omit=optional --no-audit --no-fund)
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  [ "${1:-run}" = test ] && install_test_readers
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
[ "${1:-run}" = test ] && install_test_readers
exit 0
