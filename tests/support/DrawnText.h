// SPDX-License-Identifier: GPL-2.0-or-later
// Pages of known text for the recognition tests, drawn by ImageMagick, and the share of their
// words a reader gives back in order.
#pragma once

#include <string>
#include <vector>

// Draws `lines` in 12 pt DejaVu Sans at 300 dpi on a white page 2480 pixels wide, a line every 110
// pixels with the first baseline at (150, 150), then applies `after` (more of convert's options,
// as "-rotate 90"); writes `path` in the format its extension names, 8 bits a sample, with a
// 300 dpi density. False when ImageMagick fails.
bool DrawTextLines(const std::string& path, const std::vector<std::string>& lines, const std::string& after = "");

// The words of `lines` (split at white space), in order.
std::vector<std::string> WordsOf(const std::vector<std::string>& lines);

// The share of `expected` that `got` holds in the same order (longest common subsequence).
double ShareInOrder(const std::vector<std::string>& got, const std::vector<std::string>& expected);
