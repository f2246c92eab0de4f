#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The Debian package built from the install rules holds the program, its launcher, its theme icons
# and its software-centre entry; its library dependencies are computed; and the program unpacked
# from it starts.
# Usage: package_test.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
# Only the window started below is stopped: "kill 0" would end the whole process group (ctest).
trap '[ -z "${app:-}" ] || kill "$app" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/out/leafbind_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single leafbind_*.deb: ${debs[*]}"
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' > "$work/files"
for want in /usr/bin/leafbind /usr/share/applications/leafbind.desktop \
            /usr/share/metainfo/org.example.leafbind.metainfo.xml \
            /usr/bin/leafbind-export /usr/share/man/man1/leafbind-export.1.gz \
            /usr/bin/leafbind-extract /usr/share/man/man1/leafbind-extract.1.gz \
            /usr/bin/leafbind-watch /usr/share/man/man1/leafbind-watch.1.gz \
            /usr/lib/systemd/user/leafbind-watch.service \
            /usr/share/doc/leafbind/copyright; do
  grep -qx "$want" "$work/files" || fail "the package does not hold $want"
done
for size in 16 22 24 32 48 64 128 256; do
  grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/leafbind.png" "$work/files" \
    || fail "the package has no ${size}x${size} icon"
done

# Nothing in the build names these libraries: dpkg-shlibdeps found them in the program.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libjpeg62-turbo liblcms2-2 libqpdf29 libtesseract5 libpng16-16 libtiff6; do
  [[ ", $depends" == *", $library "* ]] || fail "Depends lacks $library: $depends"
done
# The recogniser's language data is needed only with --ocr.
recommends=$(dpkg-deb -f "$deb" Recommends)
for data in tesseract-ocr-eng tesseract-ocr-osd; do
  [[ ", $recommends," == *", $data,"* ]] || fail "Recommends lacks $data (the recogniser's data): $recommends"
  [[ ", $depends," != *", $data,"* ]] || fail "Depends holds $data, which only --ocr needs: $depends"
done
# A sanitizer build links the recogniser into the program instead.
if [ -f "$build/src/cli/leafbind-ocr.so" ]; then
  grep -q '/leafbind/leafbind-ocr\.so$' "$work/files" || fail "the package does not hold the recognition module"
fi
dpkg -I "$deb" > "$work/info"
grep -qxF " Depends: $depends" "$work/info" || fail "dpkg -I does not show the dependencies: $(cat "$work/info")"

root="$work/root"
dpkg -x "$deb" "$root"
for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/leafbind.png")" = "${size}x${size}" ] \
    || fail "the ${size}x${size} icon has another size"
done
desktop-file-validate "$root/usr/share/applications/leafbind.desktop" || fail "the launcher does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.leafbind.metainfo.xml" > "$work/appstream.txt" \
  || fail "the metainfo does not validate: $(cat "$work/appstream.txt")"

# The copyright file is in Debian's machine-readable format and names the licence the metainfo gives.
copyright="$root/usr/share/doc/leafbind/copyright"
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  || fail "the copyright file is not machine-readable"
grep -qx 'License: GPL-2+' "$copyright" || fail "the copyright file does not name GPL-2+"
grep -qx '  <project_license>GPL-2.0-or-later</project_license>' "$root/usr/share/metainfo/org.example.leafbind.metainfo.xml" \
  || fail "the metainfo does not give GPL-2.0-or-later"

[ "$("$root/usr/bin/leafbind-export" --version)" = "leafbind-export 1.0" ] \
  || fail "the unpacked leafbind-export does not run"
[ "$("$root/usr/bin/leafbind-extract" --version)" = "leafbind-extract 1.0" ] \
  || fail "the unpacked leafbind-extract does not run"
[ "$("$root/usr/bin/leafbind-watch" --version)" = "leafbind-watch 1.0" ] \
  || fail "the unpacked leafbind-watch does not run"
# The sample unit is one systemd takes, and starts the packaged watcher.
grep -qx 'ExecStart=/usr/bin/leafbind-watch $OPTIONS --archive ${ARCHIVE} ${IN} ${OUT}' \
  "$root/usr/lib/systemd/user/leafbind-watch.service" || fail "the sample unit does not start /usr/bin/leafbind-watch"
if command -v systemd-analyze > /dev/null; then
  sed 's|/usr/bin/leafbind-watch|'"$root"'/usr/bin/leafbind-watch|' "$root/usr/lib/systemd/user/leafbind-watch.service" \
    > "$work/leafbind-watch.service"
  mkdir -m 700 -p "$work/unit-runtime"
  XDG_RUNTIME_DIR="$work/unit-runtime" systemd-analyze verify --man=no --user "$work/leafbind-watch.service" \
    > "$work/unit.log" 2>&1 \
    || fail "systemd-analyze does not take the sample unit: $(cat "$work/unit.log")"
fi
# The unpacked program finds its recognition module where the package put it.
convert -size 300x80 xc:white -pointsize 36 -annotate +10+50 'Leafbind' "$work/word.jpg"
"$root/usr/bin/leafbind-export" -q --ocr -o "$work/word.pdf" "$work/word.jpg" \
  || fail "the unpacked leafbind-export cannot recognise text"

# The window has no command line: it starts if it is still running, silently, two seconds later.
mkdir "$work/home" && mkdir -m 700 "$work/runtime"
HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen "$root/usr/bin/leafbind" > "$work/app.log" 2>&1 &
app=$!
sleep 2
kill -0 "$app" 2>/dev/null || fail "the unpacked program ended: $(cat "$work/app.log")"
kill "$app"
wait "$app" 2>/dev/null || true
# The offscreen platform itself says once that it cannot pass size hints on; anything else is news.
grep -vx 'This plugin does not support propagateSizeHints()' "$work/app.log" > "$work/news.log" || true
[ ! -s "$work/news.log" ] || fail "the unpacked program wrote: $(cat "$work/news.log")"
echo "package: 1 passed, 0 failed"
