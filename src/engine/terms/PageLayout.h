// SPDX-License-Identifier: GPL-2.0-or-later
// How a picture is laid out on its page: the paper, the density that sizes it, the fit, the margin.
#pragma once

namespace jpeg2pdf {

// Where a page's size comes from when no paper is given, and the picture's size on paper.
enum class DensitySource {
    OnePointPerPixel,  // one pixel is one point: the plain layout
    Fixed,  // dotsPerInch for every file
    FromFile,  // each file's JFIF or Exif density; 72 where it states none
};

enum class FitMode {
    Into,  // the largest size that fits inside the paper less the margins, centred
    Fill,  // covers that area, centred, the overflow clipped
    Shrink,  // the size from the density unless that is larger than the area, then as Into
};

struct PageLayout {
    DensitySource density = DensitySource::OnePointPerPixel;
    double dotsPerInch = 72;  // for Fixed; positive
    // Paper in points, before it is turned to run the picture's way; 0 x 0 (the default): the
    // page is the picture's size.
    double paperWidth = 0;
    double paperHeight = 0;
    FitMode fit = FitMode::Into;
    double margin = 0;  // points, on all four sides of the paper (without paper, around the picture)
};

}  // namespace jpeg2pdf
