#!/usr/bin/env bash
# The install step puts the program, its desktop launcher and its icon where freedesktop desktops
# look for them, and the launcher is valid.
# Usage: install_test.sh <build folder>
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/leafbind" ] || fail "no program in bin/"
launcher="$prefix/share/applications/leafbind.desktop"
[ -f "$launcher" ] || fail "no desktop launcher"
desktop-file-validate "$launcher" || fail "the launcher does not validate"
grep -qx 'Exec=leafbind' "$launcher" || fail "the launcher does not start leafbind"
grep -qx 'Icon=leafbind' "$launcher" || fail "the launcher names another icon"
icon="$prefix/share/icons/hicolor/256x256/apps/leafbind.png"
[ "$(identify -format '%wx%h' "$icon")" = 256x256 ] || fail "the icon is not a 256 x 256 picture"
echo "install: 1 passed, 0 failed"
