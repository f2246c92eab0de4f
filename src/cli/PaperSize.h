// SPDX-License-Identifier: GPL-2.0-or-later
// Paper names, lengths with units and densities as the command line takes them, in points.
// Numbers are plain decimals ("8.5", ".5", "210"), read without the user's locale.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// The longest side or margin accepted: 200 inches, beyond what PDF readers show.
inline constexpr double kLongestLength = 14400;

// A positive decimal number, or false.
bool ParsePositiveNumber(std::string_view text, double& value);

// "12", "12pt", "4.2mm", "1cm", "0.5in" (units in any case; points without one) to points.
// Zero is accepted; false for anything else that is not a length up to kLongestLength.
bool ParseLength(std::string_view text, double& points);

// A3, A4, A5, B5 (ISO), Letter, Legal (any case), or WxH with one unit after both numbers or
// after each ("210x297mm", "8.5inx11in", "595x842"). False with `why` (a few words for the user)
// (outputs unchanged) when the text is none of them or a side is zero.
bool ParsePaperSize(std::string_view text, double& width, double& height, std::string& why);

}  // namespace cli
