#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program as a native Wayland client of a headless compositor, with no X server at all,
# driven through the accessibility bus: load a list through the file dialog, create the PDF through
# the save dialog, read the status line, exit. The compositor offers no pointer or keyboard, so
# nothing here drags or hovers; the X end-to-end test does that.
# Usage: wayland_export_e2e.sh <leafbind binary> <shared testdata folder>
set -euo pipefail
program=$1
testdata=$2

if [ -z "${LEAFBIND_E2E_INSIDE_BUS:-}" ]; then
  export LEAFBIND_E2E_INSIDE_BUS=1
  exec timeout 300 dbus-run-session -- bash "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
unset DISPLAY
work=$(mktemp -d)
trap 'kill ${app:-} ${compositor:-} ${bus:-} 2>/dev/null || true; rm -rf "$work"' EXIT
. "$here/e2e_helpers.sh"
mkdir "$work/home" "$work/pictures" "$work/dialogs"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=leafbind-e2e

/usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
bus=$!
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config \
  --width=1280 --height=1024 > "$work/weston.log" 2>&1 &
compositor=$!

for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "the compositor did not start: $(cat "$work/weston.log")"

cp "$testdata/libjpeg-turbo/testorig.jpg" "$work/pictures/first.jpg"   # 227 x 149
convert -size 120x80 gradient:red-blue -quality 90 "$work/pictures/second.jpg"
printf '%s\r\n' "$work/pictures/first.jpg" "$work/pictures/second.jpg" > "$work/list.txt"

# The headless compositor has no seat; Qt's Wayland input method support assumes one and crashes on
# the first text field, so input methods are left out (a desktop always has a seat).
(cd "$work/dialogs" && HOME="$work/home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= \
  QT_QPA_PLATFORM=wayland QT_IM_MODULE=none QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  exec "$program" > "$work/app.log" 2>&1) &
app=$!

drive() { /usr/bin/python3 "$here/atspi_drive.py" "$@"; }
# Runs a driving step until it succeeds, within a bound.
until_done() {
  for _ in $(seq 1 300); do
    drive "$@" > /dev/null 2>&1 && return 0
    kill -0 "$app" 2>/dev/null || fail "the program ended: $(cat "$work/app.log")"
    sleep 0.1
  done
  fail "could not: $*"
}
expect_status() {
  local status=""
  for _ in $(seq 1 300); do
    status=$(drive status 2>/dev/null) && [ "$status" = "$1" ] && return 0
    kill -0 "$app" 2>/dev/null || fail "the program ended: $(cat "$work/app.log")"
    sleep 0.1
  done
  fail "status line reads \"$status\", expected \"$1\""
}
# Opens a file dialog with a button, answers it, and waits until it has closed.
answer_dialog() {
  until_done press "$1"
  until_done showing "$2"
  until_done fill "$2" "$3" "$4"
  for _ in $(seq 1 300); do drive showing "$2" > /dev/null 2>&1 || return 0; sleep 0.1; done
  fail "dialog \"$2\" did not close"
}

expect_status "Ready"
answer_dialog "Load..." "Load images list" "$work/list.txt" "Open"
expect_status "Images list loaded"

answer_dialog "Create..." "Save as" "$work/out.pdf" "Save"
expect_status "Done, PDF saved as: $work/out.pdf"
qpdf --check "$work/out.pdf" > "$work/qpdf.txt" || fail "qpdf --check: $(cat "$work/qpdf.txt")"
sizes=$(pdfinfo -f 1 -l 2 "$work/out.pdf" | sed -n 's/^Page *\([0-9]*\) size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1:\2x\3/p' | tr '\n' ' ')
[ "$sizes" = "1:227x149 2:120x80 " ] || fail "page sizes in the PDF: $sizes"

until_done press "Exit"
for _ in $(seq 1 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end after Exit"
wait "$app" || fail "the program exited with an error: $(cat "$work/app.log")"
[ ! -s "$work/app.log" ] || fail "the program wrote: $(cat "$work/app.log")"
echo "e2e: 1 passed, 0 failed"
