#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The real program under a real X server, ended by SIGTERM, SIGINT or SIGHUP while idle and mid-
# export: it ends by that signal (status 128 + signal, as its shell sees it) and the export leaves
# no file. The signal is sent while the program is stopped holding its new, unnamed output open.
# Usage: termination_status_e2e.sh <leafbind binary> <shared testdata folder>
set -euo pipefail
program=$1

. "$(dirname "$0")/e2e_helpers.sh"
if [ -z "${LEAFBIND_E2E_INSIDE_X:-}" ]; then
  export LEAFBIND_E2E_INSIDE_X=1
  run_on_own_x_server timeout 300 bash "$0" "$@"
  exit
fi

work=$(mktemp -d)
trap 'kill -CONT ${app:-} 2>/dev/null || true; kill -KILL ${app:-} 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/home" "$work/out"
# 300 entries of a 2 MB picture: the export takes far longer than a step of the wait below.
convert -size 1200x800 xc: +noise Random -quality 95 "$work/noise.jpg"
for _ in $(seq 1 300); do printf '%s\r\n' "$work/noise.jpg"; done > "$work/list.txt"

holds_new_output() {
  local fd
  for fd in /proc/"$app"/fd/*; do
    case "$(readlink "$fd" 2>/dev/null)" in "$work/out/"*) return 0 ;; esac
  done
  return 1
}

passed=0
for row in "TERM export 143" "INT export 130" "HUP export 129" "TERM idle 143"; do
  read -r signal when expected <<< "$row"
  # A shell starts a background program with SIGINT ignored, which the program leaves ignored.
  HOME="$work/home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= env --default-signal=INT "$program" \
    > "$work/app.log" 2>&1 &
  app=$!
  main=$(wait_window "Leafbind 1.0") || fail "$row: the main window did not appear"
  eval "$(xdotool getwindowgeometry --shell "$main")"
  if [ "$when" = export ]; then
    xdotool mousemove --sync $((X + 363)) $((Y + 35)) click 1   # Load...
    type_into_dialog "Load images list" "$work/list.txt"
    sleep 0.5
    xdotool mousemove --sync $((X + 165)) $((Y + 35)) click 1   # Create...
    dialog=$(wait_window "Save as") || fail "$row: the save dialog did not appear"
    xdotool windowfocus --sync "$dialog"
    sleep 0.3
    xdotool key --clearmodifiers ctrl+a type --delay 15 "$work/out/out.pdf"
    xdotool key Return
    sent=no
    for _ in $(seq 1 3000); do
      kill -STOP "$app"
      holds_new_output && kill -s "$signal" "$app" && sent=yes
      kill -CONT "$app"
      [ "$sent" = yes ] && break
      sleep 0.01
    done
    [ "$sent" = yes ] || fail "$row: the export was never seen under way"
  else
    kill -s "$signal" "$app"
  fi
  for _ in $(seq 1 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "$row: the program did not end"
  status=0
  { wait "$app"; } 2>/dev/null || status=$?
  app=""
  [ "$status" = "$expected" ] || fail "$row: the program ended with status $status, expected $expected"
  leftovers=$(find "$work/out" -mindepth 1)
  [ -z "$leftovers" ] || fail "$row: the export left $leftovers"
  passed=$((passed + 1))
done
echo "e2e: $passed passed, 0 failed"
