// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShownPixelSpace.h"

#include <algorithm>

namespace jpeg2pdf {

std::array<double, 6> ShownPixelsToPage(const PagePlan& page)
{
    // The image's unit square lands on an upright box, turned or mirrored within it.
    const auto& [a, b, c, d, e, f] = page.placement;
    const double left = std::min({e, e + a, e + c, e + a + c}), right = std::max({e, e + a, e + c, e + a + c});
    const double bottom = std::min({f, f + b, f + d, f + b + d}), top = std::max({f, f + b, f + d, f + b + d});
    // A turn by a quarter (Exif orientations 5 to 8) lays the stored rows upright.
    const bool transposed = a == 0 && d == 0;
    const double shownWidth = transposed ? page.imageHeight : page.imageWidth;
    const double shownHeight = transposed ? page.imageWidth : page.imageHeight;
    return {(right - left) / shownWidth, 0, 0, -(top - bottom) / shownHeight, left, top};
}

}  // namespace jpeg2pdf
