// SPDX-License-Identifier: GPL-2.0-or-later
// The values a PDF reader, or a PDF/A part, can hold: the engine keeps to them, and a front end
// checks what it passes against them before anything is written.
#pragma once

namespace jpeg2pdf {

// Each side of a page box, in default user units (points): what readers show.
constexpr double kSmallestPageSide = 3;
constexpr double kLargestPageSide = 14400;

// Whether readers show a page box of `width` x `height` points.
constexpr bool PageSizeShown(double width, double height)
{
    return width >= kSmallestPageSide && width <= kLargestPageSide && height >= kSmallestPageSide
        && height <= kLargestPageSide;
}

// Densities above this many pixels per inch are taken as damage, not as a statement.
constexpr double kMostPixelsPerInch = 100000;

}  // namespace jpeg2pdf
