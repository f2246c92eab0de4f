#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# A multi-page Group 4 TIFF (A4 at 300 dpi, 500 pages by default) made into a PDF by leafbind-export,
# tiff2pdf (libtiff-tools) and img2pdf, side by side in one run: medians of hyperfine's runs, and
# leafbind-export's peak memory (/usr/bin/time -f %M) at a tenth of the pages and at all of them,
# which stays flat when nothing of a page is held after it is written.
#   bash bench/formats_bench/tiff.sh [build folder] [pages] [runs]
# Inputs and outputs under $TMPDIR (default /tmp). A benchmark, not a test: it prints, never fails
# on a ratio.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/release}" && pwd)
pages=${2:-500}
runs=${3:-5}
export_program="$build/src/cli/leafbind-export"
[ -x "$export_program" ] || { echo "no $export_program: build leafbind-export first" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tiff-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Ten pages of text drawn at 300 dpi, each a G4 strip as scanners write it; the file repeats them.
make_pages() {  # count output
  local sources=()
  for i in $(seq 1 10); do
    local lines=()
    for line in $(seq 1 60); do
      lines+=(-annotate "+150+$((150 + line * 52))" "Page $i line $line: the quick brown fox jumps over the lazy dog, 0123456789")
    done
    convert -size 2480x3508 xc:white -font DejaVu-Sans -density 300 -pointsize 10 -fill black "${lines[@]}" \
      -monochrome -units PixelsPerInch -density 300 -compress Group4 "$work/source-$i.tif"
    sources+=("$work/source-$i.tif")
  done
  local list=()
  for n in $(seq 1 "$1"); do list+=("${sources[$(((n - 1) % 10))]}"); done
  tiffcp "${list[@]}" "$2"
}

make_pages "$pages" "$work/pages.tif"
make_pages "$((pages / 10))" "$work/tenth.tif"
echo "input: $pages pages, $(stat -c %s "$work/pages.tif") bytes"

hyperfine -N -w 1 -r "$runs" --export-json "$work/times.json" \
  -n leafbind-export "$export_program -q -f -o $work/leafbind.pdf $work/pages.tif" \
  -n tiff2pdf "tiff2pdf -o $work/tiff2pdf.pdf $work/pages.tif" \
  -n img2pdf "img2pdf -o $work/img2pdf.pdf $work/pages.tif" > /dev/null
python3 - "$work/times.json" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
ours = results["leafbind-export"]
for name, median in results.items():
    print(f"{name:16} median {median:8.3f} s" + ("" if name == "leafbind-export" else f"   leafbind-export / {name}: {ours / median:.3f}x"))
PY
for input in tenth pages; do
  kib=$( { /usr/bin/time -f %M "$export_program" -q -f -o "$work/memory.pdf" "$work/$input.tif"; } 2>&1 )
  echo "peak memory, $(tiffinfo "$work/$input.tif" 2>/dev/null | grep -c 'TIFF Directory') pages: $kib KiB"
done
for pdf in leafbind tiff2pdf img2pdf; do
  echo "$pdf.pdf: $(stat -c %s "$work/$pdf.pdf") bytes, $(pdfinfo "$work/$pdf.pdf" | sed -n 's/^Pages: *//p') pages"
done
