// SPDX-License-Identifier: GPL-2.0-or-later
// Decoding of JPEG files with libjpeg, and reading of binary PPM files, for comparing renders.
#pragma once

#include <string>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // width * height * 3, rows top to bottom
};

// Decodes a 3-component (or grey) JPEG to RGB; throws std::runtime_error for anything else.
RgbImage DecodeJpegToRgb(const std::string& bytes);
// Decodes a JPEG of any component count to its samples as stored, without colour conversion:
// width * height * components bytes. Throws std::runtime_error when libjpeg cannot decode it.
std::vector<unsigned char> DecodeJpegSamples(const std::string& bytes);
// Reads a binary (P6, maxval 255) PPM file; throws std::runtime_error on anything else.
RgbImage ReadPpm(const std::string& path);
