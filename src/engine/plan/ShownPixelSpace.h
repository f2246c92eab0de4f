// SPDX-License-Identifier: GPL-2.0-or-later
// Where the picture's pixels, as the page shows it (after the Exif turn), lie in page space: what
// puts a recognised word over the spot in the picture it was read from, whatever paper, fit,
// margin, density and turning did to the image.
#pragma once

#include <array>

#include "PagePlan.h"

namespace jpeg2pdf {

// The matrix (in the order of "cm") that takes pixel (x, y), counted right and down from the
// shown picture's top left corner, to the page: the box the placement matrix fills with the
// image, scaled by its pixels along each side.
std::array<double, 6> ShownPixelsToPage(const PagePlan& page);

}  // namespace jpeg2pdf
