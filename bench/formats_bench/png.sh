#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# PNG files made into one PDF by leafbind-export and img2pdf, side by side in one run: medians of
# hyperfine's runs and leafbind-export's peak memory (/usr/bin/time -f %M) at a tenth of the files
# and at all of them, which stays flat when nothing of a page is held after it is written.
#   copied:  pictures of about 2 MB whose rows are copied, against cat of the same files and img2pdf
#   decoded: smaller pictures, interlaced or with an alpha channel, against img2pdf
#   bash bench/formats_bench/png.sh [build folder] [files] [runs]
# Inputs and outputs under $TMPDIR (default /tmp). A benchmark, not a test: it prints, never fails
# on a ratio.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/release}" && pwd)
files=${2:-200}
runs=${3:-5}
export_program="$build/src/cli/leafbind-export"
[ -x "$export_program" ] || { echo "no $export_program: build leafbind-export first" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/png-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Four pictures of smooth colour with fine detail (scan-like RGB): 1600 x 1280 (about 2 MB) as plain
# PNGs, whose rows are copied; 640 x 512, interlaced and with a varying alpha channel, which are
# decoded (half the files each). The lists repeat them as separate files.
for i in 1 2 3 4; do
  convert -seed "$i" -size 1600x1280 plasma:fractal -blur 0x1 PNG24:"$work/plain-$i.png"
  convert "$work/plain-$i.png" -resize 640x512! "$work/small-$i.png"
  convert "$work/small-$i.png" -interlace PNG PNG24:"$work/interlaced-$i.png"
  convert "$work/small-$i.png" -alpha set -channel A -fx '0.5+0.5*sin(i/40)*cos(j/50)' +channel \
    PNG32:"$work/alpha-$i.png"
done
mkdir "$work/plain" "$work/decoded"
for n in $(seq -w 1 "$files"); do
  cp "$work/plain-$(((10#$n - 1) % 4 + 1)).png" "$work/plain/$n.png"
  kind=$( ((10#$n % 2)) && echo interlaced || echo alpha)
  cp "$work/$kind-$(((10#$n - 1) % 4 + 1)).png" "$work/decoded/$n.png"
done
for kind in plain decoded; do
  echo "$kind: $files files, $(du -cb "$work/$kind"/*.png | tail -1 | cut -f1) bytes"
done

report() {  # times.json
  python3 - "$1" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
ours = results["leafbind-export"]
for name, median in results.items():
    ratio = "" if name == "leafbind-export" else f"   leafbind-export / {name}: {ours / median:.3f}x"
    print(f"  {name:16} median {median:8.3f} s{ratio}")
PY
}

echo "copied:"
hyperfine -N -w 1 -r "$runs" --export-json "$work/copied.json" \
  -n leafbind-export "$export_program -q -f -o $work/leafbind.pdf $(echo "$work"/plain/*.png)" \
  -n cat "bash -c 'cat $work/plain/*.png > $work/cat.out'" \
  -n img2pdf "img2pdf -o $work/img2pdf.pdf $(echo "$work"/plain/*.png)" > /dev/null
report "$work/copied.json"
echo "  pages copied byte for byte: $(python3 -c "import sys; print(open(sys.argv[1], 'rb').read().count(b'/Predictor 15'))" "$work/leafbind.pdf")"
echo "decoded (interlaced and alpha):"
hyperfine -N -r "$runs" --export-json "$work/decoded.json" \
  -n leafbind-export "$export_program -q -f -o $work/leafbind-decoded.pdf $(echo "$work"/decoded/*.png)" \
  -n img2pdf "img2pdf -o $work/img2pdf-decoded.pdf $(echo "$work"/decoded/*.png)" > /dev/null
report "$work/decoded.json"
echo "  sizes: leafbind-export $(stat -c %s "$work/leafbind-decoded.pdf") bytes," \
  "img2pdf $(stat -c %s "$work/img2pdf-decoded.pdf") bytes"

for kind in plain decoded; do
  for count in $((files / 10)) "$files"; do
    kib=$( { /usr/bin/time -f %M "$export_program" -q -f -o "$work/memory.pdf" $(ls "$work/$kind"/*.png | head -n "$count"); } 2>&1 )
    echo "peak memory, $kind, $count files: $kib KiB"
  done
done
