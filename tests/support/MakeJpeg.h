// SPDX-License-Identifier: GPL-2.0-or-later
// Real JPEG files for tests, encoded with libjpeg.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct JpegRecipe {
    int width = 16;
    int height = 8;
    int components = 3;        // 1 grayscale, 3 RGB (stored as YCbCr), 4 CMYK (Adobe marker, inverted)
    bool progressive = false;
    int restartInterval = 0;   // in MCU rows; 0 for none
    int quality = 90;
    // Fill colour as RGB; for 4 components it is turned into plain CMYK (no black generation).
    uint8_t red = 200, green = 40, blue = 30;
    bool gradient = false;     // a left-to-right, top-to-bottom ramp instead of the flat colour
    bool checkerboard = false; // black and white pixels alternating in both directions
    // When set, the RGB colour of each pixel (x, y), in place of the options above.
    std::function<std::array<uint8_t, 3>(int x, int y)> pixel = nullptr;
    // Whole marker segments (marker, length, payload; see JpegSegments.h) put right after SOI,
    // ahead of the encoder's own APP0 or APP14.
    std::vector<std::string> leadingSegments = {};
    bool jfifHeader = true;    // false: the encoder writes no JFIF APP0 (1 and 3 components)
};

// The whole encoded file.
std::string MakeJpeg(const JpegRecipe& recipe);
