#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Files dragged from another program into the real window under a real X server: a drag source
# stands in for the file manager and offers file URLs over XDND while xdotool carries the pointer,
# button held, from it onto Leafbind. A folder and a web address dropped on the tool panel are
# appended, the folder's photos in natural order; a photo with a name that is not UTF-8 dropped on
# the list lands before the item under the pointer; then Alt+End moves the selected item from the
# keyboard. The saved list must hold the exact path bytes in that order, the status line must
# count the images and the skipped files, and the source must have been told "copy".
# Usage: drop_files_e2e.sh <leafbind binary> <shared testdata folder> <drag source binary>
set -euo pipefail
program=$1
testdata=$2
source_program=$3

. "$(dirname "$0")/e2e_helpers.sh"
if [ -z "${LEAFBIND_E2E_INSIDE_X:-}" ]; then
  export LEAFBIND_E2E_INSIDE_X=1
  run_on_own_x_server timeout 300 dbus-run-session -- bash "$0" "$@"
  exit
fi
here=$(cd "$(dirname "$0")" && pwd)
/usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
bus=$!

work=$(mktemp -d)
trap 'kill "$bus" ${app:-} ${source_app:-} 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/pictures/trip"

printf -v odd '\xe9t\xe9.jpg'   # "été.jpg" in Latin-1: not valid UTF-8
cp "$testdata/libjpeg-turbo/testorig.jpg" "$work/pictures/first.jpg"
cp "$testdata/libjpeg-turbo/testorig.jpg" "$work/pictures/$odd"
convert -size 40x30 gradient:red-blue "$work/pictures/trip/IMG_10.jpg"
convert -size 30x40 gradient:green-blue "$work/pictures/trip/IMG_2.jpg"
echo notes > "$work/pictures/trip/notes.txt"

HOME="$work/home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" > "$work/app.log" 2>&1 &
app=$!
main=$(wait_window "Leafbind 1.0") || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$main")"
wx=$X; wy=$Y
expect_status "Ready"

# Drags the given URLs from the drag source to (x, y) in Leafbind's window; sets `action` to what
# the source was told.
drag_urls_to() {
  local x=$1 y=$2
  shift 2
  HOME="$work/home" "$source_program" "$@" > "$work/source.out" 2>"$work/source.log" &
  source_app=$!
  local source
  source=$(wait_window "Leafbind drag source") || fail "the drag source did not appear"
  eval "$(xdotool getwindowgeometry --shell "$source")"
  xdotool mousemove --sync $((X + 80)) $((Y + 60))
  sleep 0.2
  xdotool mousedown 1
  sleep 0.3
  local sx=$((X + 80)) sy=$((Y + 60)) tx=$((wx + x)) ty=$((wy + y))
  for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((sx + (tx - sx) * step / 10)) $((sy + (ty - sy) * step / 10))
    sleep 0.1
  done
  xdotool mousemove $((tx + 1)) $((ty + 1))
  sleep 0.3
  xdotool mousemove "$tx" "$ty"
  sleep 0.5
  xdotool mouseup 1
  for _ in $(seq 1 100); do kill -0 "$source_app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$source_app" 2>/dev/null && fail "the drag did not end"
  wait "$source_app" || fail "the drag source failed: $(cat "$work/source.log")"
  action=$(cat "$work/source.out")
  source_app=""
}

# Onto the empty part of the tool panel, right of the preview: appended.
drag_urls_to 470 35 "file://$work/pictures/trip" "https://example.org/photo.jpg"
[ "$action" = copy ] || fail "the source was told \"$action\", expected \"copy\""
expect_status "2 Images are ready to export; 2 files skipped"

# Onto the second item (items are 13 pixels high, the list starts below the 73-pixel tool panel):
# inserted before it, in the order offered.
list_top=$((73 + 2))
item_y() { echo $((list_top + 13 * $1 + 6)); }
drag_urls_to 60 "$(item_y 1)" "file://$work/pictures/first.jpg" "file://$work/pictures/%E9t%E9.jpg"
[ "$action" = copy ] || fail "the source was told \"$action\", expected \"copy\""
expect_status "4 Images are ready to export"

# From the keyboard: select the first item, move it to the bottom.
xdotool mousemove --sync $((wx + 60)) $((wy + $(item_y 0))) click 1
sleep 0.3
xdotool key --clearmodifiers alt+End
sleep 0.3

xdotool mousemove --sync $((wx + 297)) $((wy + 35)) click 1   # Save...
type_into_dialog "Save List as" "$work/saved.txt"
expect_status "Images list saved as: $work/saved.txt"   # the dialog closes before the list is written
printf '%s\r\n' "$work/pictures/first.jpg" "$work/pictures/$odd" "$work/pictures/trip/IMG_10.jpg" \
  "$work/pictures/trip/IMG_2.jpg" > "$work/expected.txt"
cmp -s "$work/saved.txt" "$work/expected.txt" || fail "saved list: $(cat -A "$work/saved.txt" 2>&1)"

xdotool mousemove --sync $((wx + 617 - 3 - 30)) $((wy + 35)) click 1   # Exit
expect_exit
echo "e2e: 1 passed, 0 failed"
