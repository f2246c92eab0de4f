// SPDX-License-Identifier: GPL-2.0-or-later
// Paper names, lengths with units and densities as the command line takes them, in points.
// Numbers are plain decimals ("8.5", ".5", "210"), read without the user's locale.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// The least density --dpi takes; the most is the most a file may state (kMostPixelsPerInch).
inline constexpr double kLeastDotsPerInch = 1;

// A number of dots per inch from kLeastDotsPerInch to kMostPixelsPerInch, or false.
bool ParseDotsPerInch(std::string_view text, double& value);

// "12", "12pt", "4.2mm", "1cm", "0.5in" (units in any case; points without one) to points.
// Zero is accepted; false for anything else that is not a length up to the largest page side.
bool ParseLength(std::string_view text, double& points);

// A3, A4, A5, B5 (ISO), Letter, Legal (any case), or WxH with one unit after both numbers or
// after each ("210x297mm", "8.5inx11in", "595x842"). False with `why` (a few words for the user)
// (outputs unchanged) when the text is none of them or a side is not what readers show (3 to
// 14,400 points).
bool ParsePaperSize(std::string_view text, double& width, double& height, std::string& why);

}  // namespace cli
