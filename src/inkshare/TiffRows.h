// SPDX-License-Identifier: GPL-2.0-or-later
// A one-page TIFF picture's luma, decoded with libtiff one row at a time and reduced by block means
// as libjpeg reduces a JPEG, so the full-size picture is never held.
#pragma once

#include <string>

#include "PngRows.h"

namespace ink {

// `eighths` / 8 of the picture's size (1, 2, 4 or 8), rounded up as libjpeg rounds. False with
// `problem` for a file libtiff refuses or cannot decode, a file of several pages (its pages are
// one entry, kept or left out together: all are kept), and pictures not read row by row
// (tiles, separate planes, alpha, other photometric interpretations).
bool ReadReducedTiff(const std::string& path, int eighths, ReducedPlane& plane, std::string& problem);

}  // namespace ink
