#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program under a real window manager, which adds a frame (title bar and borders) only when
# a window is mapped: the main window is centred on the work area by its outer frame, and the about
# box on the screen, the first time it is shown.
# Usage: window_placement_e2e.sh <leafbind binary> <shared testdata folder>
set -euo pipefail
program=$1

. "$(dirname "$0")/e2e_helpers.sh"
if [ -z "${LEAFBIND_E2E_INSIDE_X:-}" ]; then
  export LEAFBIND_E2E_INSIDE_X=1
  run_on_own_x_server timeout 120 bash "$0" "$@"
  exit
fi

work=$(mktemp -d)
trap 'kill ${app:-} ${wm:-} 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/home"

# The window manager runs its start-up command once it manages windows.
HOME="$work/home" openbox --startup "touch $work/wm-ready" > "$work/wm.log" 2>&1 &
wm=$!
for _ in $(seq 1 100); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
[ -e "$work/wm-ready" ] || fail "the window manager did not start: $(cat "$work/wm.log")"

HOME="$work/home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= "$program" > "$work/app.log" 2>&1 &
app=$!

# Waits until the window manager has framed the window, then checks that the frame is centred on
# the area left, top, width, height given.
expect_centred() {
  local id=$1 what=$2 area_left=$3 area_top=$4 area_width=$5 area_height=$6 extents="" x y w h
  for _ in $(seq 1 100); do
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$extents" ] && break
    sleep 0.1
  done
  [ -n "$extents" ] || fail "the window manager put no frame on the $what"
  IFS=, read -r left right top bottom <<< "$extents"
  # The program moves the window once it learns the frame.
  for _ in $(seq 1 30); do
    x=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left Y: *//p')
    w=$(xwininfo -id "$id" | sed -n 's/.*Width: *//p')
    h=$(xwininfo -id "$id" | sed -n 's/.*Height: *//p')
    local outer_w=$((w + left + right)) outer_h=$((h + top + bottom))
    local want_x=$((area_left + (area_width - outer_w) / 2 + left)) want_y=$((area_top + (area_height - outer_h) / 2 + top))
    [ "$x,$y" = "$want_x,$want_y" ] && return 0
    echo "$x,$y" >> "$work/positions"
    sleep 0.1
  done
  echo "positions seen: $(tr '\n' ' ' < "$work/positions")"
  [ "$x,$y" = "$want_x,$want_y" ] \
    || fail "the $what's client area ($w x $h) is at $x,$y; centred by its frame ($extents) it would be at $want_x,$want_y"
}

main=$(wait_window "Leafbind 1.0") || fail "the main window did not appear"
IFS=, read -r wa_left wa_top wa_width wa_height _ <<< "$(xprop -root _NET_WORKAREA | sed -n 's/.*= *//p' | tr -d ' ')"
expect_centred "$main" "main window" "$wa_left" "$wa_top" "$wa_width" "$wa_height"

# About... is the seventh button, left of Exit at the right edge.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --sync $((X + 617 - 3 - 60 - 6 - 30)) $((Y + 35)) click 1
about=$(wait_window "Leafbind 1.0" "$main") || fail "the about box did not appear"
expect_centred "$about" "about box" 0 0 1280 1024
echo "e2e: 1 passed, 0 failed"
