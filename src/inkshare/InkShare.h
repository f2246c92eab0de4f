// SPDX-License-Identifier: GPL-2.0-or-later
// How much of a page is ink, for leaving blank pages out: the picture decoded at a reduced scale
// (libjpeg's scaled decoding; a PNG or a one-page TIFF decoded row by row and reduced the same way,
// by block means),
// 1 % of each side left out, each pixel's darkness weighed against the paper around it.
//
// A reduced pixel is the mean of the full-size pixels it stands for. Taking those as ink (grey
// level kInkLevel) or paper (the lightest level within a few millimetres), the share of them
// darker than kInkThreshold is (paper - mean) / (paper - ink); where the paper itself is darker
// than the threshold (a dark area) every pixel darker than it counts whole. Means keep sums, so
// the share comes out the same at every scale, a faint show-through or a grey paper counts for
// nothing, and a thin stroke still counts at 1/8 although no reduced pixel of it is dark. Plain
// C++, libjpeg (through jpegdecode), libpng and libtiff.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ink {

// Rec. 601 luma below this is ink.
constexpr int kInkThreshold = 179;
// The scale the test decodes at, in eighths: 1 is libjpeg's 1/8.
constexpr int kInkEighths = 1;

struct InkReading {
    bool measured = false;  // false: not a picture measured here (see problem); such a page is kept
    double percent = 0;  // the share of the page's pixels that are ink, 0 to 100
    std::string problem;
};

// The page of the picture at `path`, decoded at `eighths` / 8 of its size (1, 2, 4 or 8).
InkReading MeasureInk(const std::string& path, int eighths = kInkEighths);

// The share of one grey plane (row after row, `width` x `height` samples, each the mean of the
// full-size pixels it stands for), in percent; `eighths` as above.
double InkPercentOfPlane(const std::vector<uint8_t>& plane, int width, int height, int eighths);

}  // namespace ink
