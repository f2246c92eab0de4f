# SPDX-License-Identifier: GPL-2.0-or-later
# What the end-to-end scripts share. Sourced first; the functions other than run_on_own_x_server
# need `work` (a temporary folder whose app.log holds the program's output). Every wait is bounded.

# Runs the command with DISPLAY set to an X server of its own, and returns the command's status.
# Xvfb picks a free display number itself and reports it (-displayfd) once it accepts clients, so
# two tests started together never share a display. A server that another one started at the same
# moment has made unreachable is replaced in turn. The server does not reset when its last client
# leaves (the reachability check is one), so a program that connects meanwhile is never turned
# away. The server ends with the command.
run_on_own_x_server() {
  local folder server="" display status=0 attempt
  folder=$(mktemp -d)
  # shellcheck disable=SC2064  # the folder is fixed now; the server is read when the trap runs
  trap "if [ -n \"\${own_x_server:-}\" ]; then kill \"\$own_x_server\" 2>/dev/null || true; fi; rm -rf '$folder'" EXIT
  for attempt in 1 2 3 4 5; do
    : > "$folder/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$folder/display" > "$folder/xvfb.log" 2>&1 &
    server=$!
    own_x_server=$server
    display=""
    for _ in $(seq 1 300); do
      display=$(head -n 1 "$folder/display")
      [ -n "$display" ] && break
      kill -0 "$server" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$display" ] && xdpyinfo -display ":$display" > /dev/null 2>&1 && break
    echo "Xvfb attempt $attempt: display \"$display\" not reachable: $(cat "$folder/xvfb.log")" >&2
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    display=""
  done
  if [ -z "$display" ]; then
    echo "FAIL: no X server could be started"
    return 1
  fi
  DISPLAY=":$display" "$@" || status=$?
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  own_x_server=""
  return "$status"
}

# Ends the test with a reason, the screen (when there is one) and the program's own output: the
# folder that holds it is removed on exit.
fail() {
  echo "FAIL: $*"
  if [ -n "${DISPLAY:-}" ] && import -window root "$work/screen.png" 2>/dev/null; then
    cp "$work/screen.png" /tmp/leafbind-e2e-failure.png
  fi
  echo "--- program output:"
  cat "$work/app.log" 2>/dev/null || true
  echo "---"
  exit 1
}

# Waits for a shown window with this exact title, other than the window $2 if given; prints its id.
wait_window() {
  local id
  for _ in $(seq 1 300); do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      [ "$id" != "${2:-}" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# Waits for the status line, as read on the accessibility bus, to say exactly this text.
expect_status() {
  local status=""
  for _ in $(seq 1 300); do
    status=$(/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/read_status_line.py" 2>/dev/null) \
      && [ "$status" = "$1" ] && return 0
    sleep 0.1
  done
  fail "status line reads \"$status\", expected \"$1\""
}

# Types a path into the file dialog titled $1 and confirms it with Enter; waits for it to close.
type_into_dialog() {
  local dialog
  dialog=$(wait_window "$1") || fail "dialog \"$1\" did not appear"
  xdotool windowfocus --sync "$dialog"
  sleep 0.3
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 15 "$2"
  xdotool key Return
  for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "dialog \"$1\" did not close"
}

# Waits for the program started as $app to end after Exit, successfully.
expect_exit() {
  for _ in $(seq 1 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "the program did not end after Exit"
  wait "$app" || fail "the program exited with an error"
}
