#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Export through the real window against the engine alone, where users are: the real program on an
# X server of its own with the accessibility bus on (as a screen-reader user has it), the list
# loaded and the PDF named through the real file dialogs, the status line read on the bus.
#   bash bench/window_export_bench.sh [build folder] [runs] [large|small]
# Each round starts the program afresh, as a user who opens it to make one PDF does, and times from
# the Enter that accepts the save dialog until the status line says "Done"; the engine's run is
# leafbind-export on the same list file (the window's bytes). Engine and window take turns, each
# output under a new name in the photos' folder, the previous outputs removed and pending writes
# flushed right before each timing (see clear_outputs in window_export_drive.py). Prints medians of `runs` (default 3) after a warming round, every
# run as the spread, and processor times (user and system, all threads), which a busy machine
# disturbs less. Inputs under $TMPDIR (default /tmp). Exits with 1 when a ratio misses 1.2.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/release}" && pwd)
runs=${2:-3}
only=${3:-}

if [ -z "${LEAFBIND_BENCH_INSIDE_X:-}" ]; then
  export LEAFBIND_BENCH_INSIDE_X=1
  . "$here/../tests/e2e/e2e_helpers.sh"
  run_on_own_x_server dbus-run-session -- bash "$0" "$build" "$runs" "$only"
  exit
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
bus=$!
work=$(mktemp -d "${TMPDIR:-/tmp}/window-export-bench.XXXXXX")
trap 'kill ${app:-} "$bus" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/home"
drive() { /usr/bin/python3 "$here/window_export_drive.py" "$@"; }

# One real JPEG padded after its end with incompressible bytes to the size wanted: the engine
# copies every byte.
make_inputs() {  # count bytes width height
  rm -rf "$work/in" && mkdir "$work/in"
  convert -size "$3x$4" gradient:red-blue -quality 90 "$work/seed.jpg"
  /usr/bin/python3 - "$work/in" "$1" "$2" "$work/seed.jpg" <<'PY'
import os, sys
folder, count, size, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), open(sys.argv[4], "rb").read()
noise = os.urandom(16 << 20)
with open(folder + ".txt", "w") as names:
    for i in range(1, count + 1):
        start = i * 7919 % (8 << 20)
        path = os.path.join(folder, f"in{i}.jpg")
        with open(path, "wb") as out:
            out.write(seed + noise[start:start + size - len(seed)])
        names.write(path + "\n")
PY
}

start_program() {
  (cd "$work/home" && HOME="$work/home" XDG_CONFIG_HOME= XDG_CACHE_HOME= XDG_DATA_HOME= \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$build/src/app/leafbind" > "$work/app.log" 2>&1) &
  app=$!
}

scenario() {  # label count bytes width height
  make_inputs "$2" "$3" "$4" "$5"
  local run engine=() window=()
  for run in $(seq 0 "$runs"); do   # round 0 warms the page cache and is not counted
    # The program starts before the engine's turn: on the development machine (a virtual one) a
    # program started after a large write and before the next one made that write cost several
    # times the processor time, whichever program wrote.
    start_program
    engine[run]=$(drive engine "$build/src/cli/leafbind-export" "$work/in.txt" "$work/in/engine-$run.pdf")
    window[run]=$(drive window "$work/in.txt" "$work/in/window-$run.pdf" "$app")
    kill "$app" && wait "$app" 2>/dev/null || true
    app=""
  done
  rm -f "$work"/in/*.pdf
  printf '%s\n' "${engine[@]:1}" > "$work/engine.txt"
  printf '%s\n' "${window[@]:1}" > "$work/window.txt"
  /usr/bin/python3 - "$1" "$work/window.txt" "$work/engine.txt" <<'PY'
import sys
label, window, engine = sys.argv[1], [l.split() for l in open(sys.argv[2])], [l.split() for l in open(sys.argv[3])]
median = lambda rows, i: sorted(float(r[i]) for r in rows)[len(rows) // 2]
w, e = median(window, 0), median(engine, 0)
print(f"{label:<21} window {w:6.3f} s  engine {e:6.3f} s  window / engine {w / e:4.2f} (target 1.2)"
      f"{'' if w / e <= 1.2 else '  MISSED'}")
print(f"{'':<21} processor time: window {median(window, 1):.2f} s, engine {median(engine, 1):.2f} s")
print(f"{'':<21} every run, wall: window {' '.join(r[0] for r in window)}; engine {' '.join(r[0] for r in engine)}")
sys.exit(0 if w / e <= 1.2 else 1)
PY
}

echo "median of $runs runs after a warming round; Xvfb, accessibility bus on; inputs under $work"
met=0
[ "$only" = small ] || scenario "200 JPEGs of 5 MB" 200 5000000 4000 3000 || met=1
[ "$only" = large ] || scenario "10,000 JPEGs of 2 KB" 10000 2000 16 16 || met=1
exit "$met"
