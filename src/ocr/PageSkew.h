// SPDX-License-Identifier: GPL-2.0-or-later
// How far a page's lines of text run turned from level, measured from its pixels: the lines' ink
// is summed along trial slants on a reduced, two-tone copy, and the slant whose rows differ most
// is the lines' (the search is the image library's). Measured on a 300 dpi page to within a few
// hundredths of a degree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "PagePixels.h"
#include "PageText.h"
#include "PageWords.h"

namespace ocr {

// Degrees, counter-clockwise as the picture is seen, that its lines climb; nothing where no lines
// are found with confidence (a photograph, a blank page). Found within kSkewSearch either way.
std::optional<double> MeasureSkew(Pix* pix);

// The same for a page's file, decoded only as far as it takes: rows from the top at about 150 dpi,
// a quarter of the picture first, more only where that quarter holds too few lines. `orientation`
// is the Exif orientation (1 to 8) the page shows its picture in.
std::optional<double> MeasureFileSkew(const std::string& path, int orientation, uint64_t tiffDirectory = 0);

// Smaller skews are left alone: no reader sees them, and measuring is no finer.
constexpr double kLeastSkew = 0.1;
constexpr double kSkewSearch = 12;

// The turn (PageText::turn) that straightens a page whose lines climb `skew` degrees: the skew
// undone where it lies within kLeastSkew to kMostPageTurn, else 0 (the page stays as it is).
double StraighteningTurn(std::optional<double> skew);

// The picture turned so its lines lie level, about its centre, in a picture as large as the
// turned corners need (filled white): for recognising a page scanned askew.
struct StraightPixels {
    PixPtr pix;
    double skew = 0;  // what was undone
};
StraightPixels Straightened(Pix* pix, double skew);

// Text recognised on Straightened's pixels, carried back to the picture's own (`width` x `height`).
void TurnTextBackFromStraight(jpeg2pdf::PageText& text, const StraightPixels& straight, double width, double height);
// The same for the words' record: each box becomes the box round its turned corners.
void TurnWordsBackFromStraight(PageWords& words, const StraightPixels& straight, double width, double height);

}  // namespace ocr
