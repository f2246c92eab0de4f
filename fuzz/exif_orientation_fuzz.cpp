// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the Exif orientation reader and the density readers as the payload of
// an APP1 (or APP0) segment.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ExifOrientation.h"
#include "FileDensity.h"

namespace {

// A density reader either leaves its output alone or gives two usable values.
void CheckDensity(bool stated, const jpeg2pdf::FileDensity& density)
{
    const auto usable = [](double v) { return v > 0 && v <= jpeg2pdf::kMostPixelsPerInch; };
    if (stated ? !usable(density.x) || !usable(density.y) : density.x != -1 || density.y != -1)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly `size` bytes, so any read past the payload is caught by the sanitizer.
    const std::vector<uint8_t> payload(data, data + size);
    const int orientation = jpeg2pdf::ReadExifOrientation(payload.data(), payload.size());
    if (orientation < 1 || orientation > 8)
        std::abort();
    jpeg2pdf::FileDensity exif {-1, -1}, jfif {-1, -1};
    CheckDensity(jpeg2pdf::ReadExifDensity(payload.data(), payload.size(), exif), exif);
    CheckDensity(jpeg2pdf::ReadJfifDensity(payload.data(), payload.size(), jfif), jfif);
    return 0;
}
