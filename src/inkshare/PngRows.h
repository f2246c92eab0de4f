// SPDX-License-Identifier: GPL-2.0-or-later
// A PNG picture's luma, decoded with libpng one row at a time and reduced by block means as libjpeg
// reduces a JPEG, so the full-size picture is never held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ink {

struct ReducedPlane {
    std::vector<uint8_t> samples;
    int width = 0, height = 0;
};

// `eighths` / 8 of the picture's size (1, 2, 4 or 8), rounded up as libjpeg rounds. False with
// `problem` for a file libpng refuses, a damaged one, and an interlaced or transparent picture
// (kept, not measured).
bool ReadReducedPng(const std::string& path, int eighths, ReducedPlane& plane, std::string& problem);

}  // namespace ink
