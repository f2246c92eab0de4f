// SPDX-License-Identifier: GPL-2.0-or-later
// CMYK rows (CMYK and YCCK pictures, as libjpeg gives them) turned into RGB, for the preview and the
// recogniser alike: each ink times the black, no colour management.
#pragma once

#include <cstdint>

namespace jpegdecode {

// Converts width CMYK pixels to width RGB pixels in place (the RGB takes the row's first 3 x width
// bytes). Adobe's CMYK JPEGs store inverted ink (255 = none), `inverted`; others store plain ink.
void InkRowToRgb(std::uint8_t* row, int width, bool inverted) noexcept;

}  // namespace jpegdecode
