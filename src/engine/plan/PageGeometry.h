// SPDX-License-Identifier: GPL-2.0-or-later
// Where a picture goes on its page: pure arithmetic on points, no file and no PDF syntax.
#pragma once

#include "PageLayout.h"

namespace jpeg2pdf {

// Pixels per inch along the picture's horizontal and vertical axes as shown (after turning).
struct PixelDensity {
    double x = 72;
    double y = 72;
};

// A rectangle in page space (points, origin at the lower left).
struct PageRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

struct PageGeometry {
    double pageWidth = 0;  // the page box, from the origin
    double pageHeight = 0;
    PageRect picture;  // where the upright picture is drawn
    bool clipped = false;  // Fill: only the part of the picture inside `clip` shows
    PageRect clip;
};

// The density a layout gives a file that states `fileX` x `fileY` (0 where it states none).
// OnePointPerPixel gives 72; Fixed gives dotsPerInch (72 unless positive and finite, at most
// kMostPixelsPerInch); FromFile
// gives the file's own, the other axis's where it states one only, 72 where it states none.
PixelDensity DensityFor(const PageLayout& layout, double fileX, double fileY);

// Lays out a picture of `pixelWidth` x `pixelHeight` as shown (already turned upright) at
// `density`. Without paper (either side 0) the page is the picture's size plus the margin on each
// side. With paper, the paper is first turned so its longer side runs the way the picture's
// longer side runs (a square picture keeps the paper as given), then the picture is fitted into
// the paper less the margins, centred, as `layout.fit` says. A margin that leaves no room is
// taken as none. Sizes are positive for positive pixel counts.
PageGeometry LayOutPage(int pixelWidth, int pixelHeight, PixelDensity density, const PageLayout& layout);

}  // namespace jpeg2pdf
