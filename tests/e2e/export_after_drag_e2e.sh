#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program under a real X server, driven with the mouse and keyboard as a person would:
# load a list through the real file dialog, drag the first entry below the last (pressing a key on
# the way), save the list, create the PDF through the real save dialog, check the PDF with real
# readers, read the status line through the accessibility bus (where the window must also present
# itself as a screen reader expects), and check that the program left nothing in an empty home folder.
# Usage: export_after_drag_e2e.sh <leafbind binary> <shared testdata folder>
set -euo pipefail
program=$1
testdata=$2

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
trap 'kill "$bus" ${app:-} 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/home" "$work/pictures"

# Three pictures of different sizes, so the page sizes tell the page order.
cp "$testdata/libjpeg-turbo/testorig.jpg" "$work/pictures/first.jpg"   # 227 x 149
convert -size 120x80 gradient:red-blue -quality 90 "$work/pictures/second.jpg"
convert -size 64x96 plasma:fractal -quality 90 "$work/pictures/third.jpg"
printf '%s\r\n' "$work/pictures/first.jpg" "$work/pictures/second.jpg" "$work/pictures/third.jpg" > "$work/list.txt"

HOME="$work/home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" > "$work/app.log" 2>&1 &
app=$!

main=$(wait_window "Leafbind 1.0") || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$main")"   # X, Y of the client area
wx=$X; wy=$Y

click_at() { xdotool mousemove --sync $((wx + $1)) $((wy + $2)) click 1; }

# Buttons are 60 x 65, three pixels in from the panel, six apart: Load... is the sixth, Create... the third.
expect_status "Ready"
seen=no
for _ in $(seq 1 50); do
  tree=$(/usr/bin/python3 "$here/check_accessible_tree.py" 2>&1) && { seen=yes; break; }
  sleep 0.1
done
[ "$seen" = yes ] || fail "as seen on the accessibility bus: $tree"
click_at 363 35
type_into_dialog "Load images list" "$work/list.txt"
expect_status "Images list loaded"

# Items are 13 pixels high from the top of the list, which starts below the 73-pixel tool panel.
list_top=$((73 + 2))
item_y() { echo $((list_top + 13 * $1 + 6)); }
xdotool mousemove --sync $((wx + 60)) $((wy + $(item_y 0)))
xdotool mousedown 1
for step in 4 8 12 20 30 40 50 60; do
  xdotool mousemove --sync $((wx + 60)) $((wy + $(item_y 0) + step))
  sleep 0.05
done
# A key pressed and released mid-drag: the drag asks the X server whether button 1 is still held
# (it is), so it goes on; Shift changes nothing else.
xdotool keydown shift
sleep 0.1
xdotool keyup shift
sleep 0.1
xdotool mousemove --sync $((wx + 60)) $((wy + $(item_y 3) + 20))
sleep 0.1
xdotool mouseup 1
sleep 0.3

# Save... is the fifth button: the saved list shows the order the window now holds.
click_at 297 35
type_into_dialog "Save List as" "$work/reordered.txt"
expect_status "Images list saved as: $work/reordered.txt"   # the dialog closes before the list is written
expected_order=$(printf '%s\r\n' "$work/pictures/second.jpg" "$work/pictures/third.jpg" "$work/pictures/first.jpg")
[ "$(cat "$work/reordered.txt")" = "$expected_order" ] || fail "list order after the drag: $(cat -A "$work/reordered.txt")"

click_at 165 35
type_into_dialog "Save as" "$work/out.pdf"
for _ in $(seq 1 300); do [ -s "$work/out.pdf" ] && break; sleep 0.1; done
[ -s "$work/out.pdf" ] || fail "no PDF was written"
expect_status "Done, PDF saved as: $work/out.pdf"

qpdf --check "$work/out.pdf" > "$work/qpdf.txt" || fail "qpdf --check: $(cat "$work/qpdf.txt")"
sizes=$(pdfinfo -f 1 -l 3 "$work/out.pdf" | sed -n 's/^Page *\([0-9]*\) size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1:\2x\3/p' | tr '\n' ' ')
[ "$sizes" = "1:120x80 2:64x96 3:227x149 " ] || fail "page sizes in the PDF: $sizes"

# Exit closes the window and ends the process.
click_at $((617 - 3 - 30)) 35
expect_exit

leftovers=$(find "$work/home" -mindepth 1)
[ -z "$leftovers" ] || fail "the program wrote into the home folder: $leftovers"
echo "e2e: 1 passed, 0 failed"
