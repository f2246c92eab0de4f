#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# leafbind-watch against leafbind-export on the same folder of photographs, and the watcher idle.
#   bash bench/watch_bench.sh [build folder] [runs] [photos] [idle seconds]
# Latency: a folder of `photos` (default 30) JPEGs of about 1.5 MB is renamed into the watched
# folder (at once, as a finished copy lands); the watcher's settle time starts then, so the time
# from the end of the settle time to the document's name in OUT is when it appears less the rename
# and the settle time. The same folder is exported by leafbind-export, alone and followed by a
# sync of its document (the watcher syncs the document and OUT before it names it; the export
# does not). Medians of `runs` (default 5) after a warming round, every run as the spread.
# Idle: the watcher on an empty folder, its processor time (utime + stime in /proc/PID/stat)
# before and after `idle seconds` (default 60). Inputs under $TMPDIR (default /tmp).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/release}" && pwd)
runs=${2:-5}
photos=${3:-30}
idle=${4:-60}
watch="$build/src/cli/leafbind-watch"
export_program="$build/src/cli/leafbind-export"
work=$(mktemp -d "${TMPDIR:-/tmp}/watch-bench.XXXXXX")
trap 'kill ${watcher:-} 2>/dev/null || true; rm -rf "$work"' EXIT
settle=0.5

mkdir -p "$work/in" "$work/out" "$work/done" "$work/photos"
convert -size 2400x1600 plasma:fractal -quality 92 "$work/seed.jpg"
for i in $(seq 1 "$photos"); do cp "$work/seed.jpg" "$work/photos/IMG_$i.jpg"; done
echo "photos: $photos x $(stat -c %s "$work/seed.jpg") bytes"

"$watch" -q --settle "$settle" --archive "$work/done" "$work/in" "$work/out" 2> "$work/watch.log" &
watcher=$!
sleep 1

python3 - "$work" "$export_program" "$runs" "$settle" <<'PY'
import os, shutil, statistics, subprocess, sys, time
work, export, runs, settle = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])

def watched(k):
    folder = f"{work}/box{k}"
    shutil.copytree(f"{work}/photos", folder)
    subprocess.run(["sync"], check=True)
    pdf = f"{work}/out/box{k}.pdf"
    start = time.monotonic()
    os.rename(folder, f"{work}/in/box{k}")
    moved = time.monotonic()
    while not os.path.exists(pdf):
        time.sleep(0.0005)
    end = time.monotonic()
    return end - moved - settle

def exported(k, sync):
    pdf = f"{work}/export{k}.pdf"
    start = time.monotonic()
    subprocess.run([export, "-q", "-o", pdf, "-l", "-"], check=True,
                   input="".join(f"{work}/photos/IMG_{i}.jpg\n" for i in range(1, len(os.listdir(f"{work}/photos")) + 1)).encode())
    if sync:
        subprocess.run(["sync", pdf], check=True)
    took = time.monotonic() - start
    os.unlink(pdf)
    return took

watch, plain, synced = [], [], []
for k in range(runs + 1):
    w = watched(k)
    subprocess.run(["sync"], check=True)
    p = exported(k, False)
    subprocess.run(["sync"], check=True)
    s = exported(k, True)
    if k > 0:
        watch.append(w); plain.append(p); synced.append(s)
fmt = lambda xs: " ".join(f"{x:.3f}" for x in xs)
mw, mp, ms = statistics.median(watch), statistics.median(plain), statistics.median(synced)
print(f"watch, end of settle time to the PDF in OUT: median {mw:.3f} s  ({fmt(watch)})")
print(f"leafbind-export of the same folder:          median {mp:.3f} s  ({fmt(plain)})")
print(f"leafbind-export, then sync of its PDF:       median {ms:.3f} s  ({fmt(synced)})")
print(f"ratio watch / export: {mw / mp:.2f}; watch / export + sync: {mw / ms:.2f}")
PY

ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$watcher/stat"; }
before=$(cpu)
sleep "$idle"
after=$(cpu)
echo "idle for ${idle} s: $((after - before)) ticks of processor time (1 tick = 1/${ticks} s)"
[ ! -s "$work/watch.log" ] || { echo "the watcher said:"; cat "$work/watch.log"; }
