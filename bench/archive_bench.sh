#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The scan archive at scale, timed with hyperfine:
#   1. --folders on 2,000 folders of 5 small JPEGs against a shell loop of leafbind-export calls,
#      one per folder, run with the same parallelism (xargs -P);
#   2. --folders on 100 folders of 30 photos against one plain export of all 3,000 as one list;
#   3. --drop-blank on 200 A4 scans at 300 dpi: what the blank test adds to an export, against a
#      full decode of the same files by djpeg.
#   bash bench/archive_bench.sh [build folder] [runs] [jobs]
# Prints hyperfine's table for each, then the ratios. Inputs under $TMPDIR (default /tmp); the
# photos and scans are hard links of a few drawn files, so the page cache holds them all.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/dev}" && pwd)
runs=${2:-5}
jobs=${3:-2}
export_program=$build/src/cli/leafbind-export
for tool in hyperfine djpeg convert python3; do
  command -v "$tool" > /dev/null || { echo "needs $tool (bash scripts/deps.sh test)" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/archive-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The mean seconds of each command of a hyperfine JSON export, in order.
means() { python3 -c 'import json,sys; print(" ".join(str(r["mean"]) for r in json.load(open(sys.argv[1]))["results"]))' "$1"; }
ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$1" "$2"; }

echo "== 2,000 folders of 5 small JPEGs, $jobs at once"
convert -size 640x480 plasma:fractal -seed 1 -quality 85 "$work/small.jpg"
mkdir -p "$work/small"
for f in $(seq -w 1 2000); do
  mkdir "$work/small/f$f"
  for p in 1 2 3 4 5; do ln "$work/small.jpg" "$work/small/f$f/IMG_$p.jpg"; done
done
hyperfine --runs "$runs" --export-json "$work/small.json" \
  --prepare "rm -rf '$work/out-a' '$work/out-b'; mkdir -p '$work/out-b/small'" \
  -n folders "'$export_program' -q --folders --jobs $jobs -O '$work/out-a' '$work/small'" \
  -n 'shell loop' "cd '$work/small' && ls | xargs -P $jobs -I{} sh -c '\"$export_program\" -q -o \"$work/out-b/small/{}.pdf\" {}/*.jpg'"
read -r folders loop < <(means "$work/small.json")
small_ratio=$(ratio "$folders" "$loop")

echo "== 100 folders of 30 photos, against one export of all 3,000"
convert -size 1600x1200 plasma:fractal -seed 2 -quality 90 "$work/photo.jpg"
mkdir -p "$work/photos"
for f in $(seq -w 1 100); do
  mkdir "$work/photos/f$f"
  for p in $(seq 1 30); do ln "$work/photo.jpg" "$work/photos/f$f/IMG_$p.jpg"; done
done
find "$work/photos" -name '*.jpg' -print0 | sort -z > "$work/all.list"
hyperfine --runs "$runs" --export-json "$work/photos.json" --prepare "rm -rf '$work/out-c' '$work/all.pdf'" \
  -n folders "'$export_program' -q --folders --jobs 1 -O '$work/out-c' '$work/photos'" \
  -n 'one list' "'$export_program' -q -0 -o '$work/all.pdf' -l '$work/all.list'"
read -r folders one < <(means "$work/photos.json")
photos_ratio=$(ratio "$folders" "$one")

echo "== --drop-blank on 200 A4 scans at 300 dpi, against djpeg"
mkdir -p "$work/scans"
convert -size 2480x3508 -density 300 -units PixelsPerInch xc:white -font DejaVu-Sans -fill black -pointsize 11 \
  -annotate +250+400 'Dear Sir, the archive holds every letter of the firm from 1921 on, in boxes of a hundred.' \
  -annotate +250+460 'The keeper of the records answers every question put to him within the week.' \
  -attenuate 0.1 +noise Gaussian -colorspace gray -quality 85 "$work/front.jpg"
convert -size 2480x3508 -density 300 -units PixelsPerInch xc:'gray(96%)' -fill black \
  -draw 'circle 400,600 402,602' -attenuate 0.1 +noise Gaussian -colorspace gray -quality 85 "$work/back.jpg"
convert "$work/front.jpg" -colorspace sRGB -fill '#fff8e8' -tint 10 -type TrueColor -quality 85 "$work/colour.jpg"
for i in $(seq -w 1 200); do
  case $((10#$i % 4)) in 0) src=back ;; 1) src=front ;; 2) src=colour ;; *) src=back ;; esac
  ln "$work/$src.jpg" "$work/scans/scan$i.jpg"
done
hyperfine --runs "$runs" --export-json "$work/blank.json" --prepare "rm -f '$work/blank.pdf' '$work/plain.pdf'" \
  -n 'export --drop-blank' "'$export_program' -q --jobs 1 --drop-blank -o '$work/blank.pdf' '$work'/scans/*.jpg" \
  -n 'export' "'$export_program' -q -o '$work/plain.pdf' '$work'/scans/*.jpg" \
  -n 'djpeg' "for f in '$work'/scans/*.jpg; do djpeg \"\$f\" > /dev/null; done"
read -r blank plain decode < <(means "$work/blank.json")
test_cost=$(python3 -c "import sys; print(float(sys.argv[1]) - float(sys.argv[2]))" "$blank" "$plain")
blank_ratio=$(ratio "$test_cost" "$decode")

echo
echo "--folders, 2,000 x 5 small: ${small_ratio}x the shell loop (at most 1.3x)"
echo "--folders, 100 x 30 photos: ${photos_ratio}x one export of all (at most 1.1x)"
echo "--drop-blank test, 200 scans: ${blank_ratio}x djpeg's full decode (at most 0.3x)"
