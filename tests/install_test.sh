#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The install step puts the program, its desktop launcher and its icon where freedesktop desktops
# look for them, and the launcher is valid; the command-line program and its man page go beside them.
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
[ "$("$prefix/bin/leafbind-export" --version)" = "leafbind-export 1.0" ] || fail "no command-line program in bin/"
[ "$("$prefix/bin/leafbind-extract" --version)" = "leafbind-extract 1.0" ] || fail "no leafbind-extract in bin/"
[ "$("$prefix/bin/leafbind-watch" --version)" = "leafbind-watch 1.0" ] || fail "no leafbind-watch in bin/"
[ -f "$prefix/lib/systemd/user/leafbind-watch.service" ] || fail "no sample user unit for leafbind-watch"
# Each man page renders; the page itself speaks of warnings, so only what the renderer says on
# standard error counts.
for page in leafbind-export:auto-orient leafbind-extract:--verify leafbind-watch:--remove-sources; do
  manpage="$prefix/share/man/man1/${page%%:*}.1.gz"
  [ -f "$manpage" ] || fail "no man page for ${page%%:*}"
  rendered=$(MANWIDTH=80 man --warnings -l "$manpage" 2> "$prefix/man-warnings") || fail "man cannot render $manpage"
  grep -q -e "${page#*:}" <<<"$rendered" || fail "the man page of ${page%%:*} lacks the options"
  [ ! -s "$prefix/man-warnings" ] || fail "$manpage renders with warnings: $(cat "$prefix/man-warnings")"
done
echo "install: 1 passed, 0 failed"
