// SPDX-License-Identifier: GPL-2.0-or-later
// What a JPEG says of its own pixel density: the JFIF APP0 density, or the Exif IFD0 resolution.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ReaderBounds.h"  // kMostPixelsPerInch

namespace jpeg2pdf {

// What a file says of its own pixel density, in pixels per inch; 0 where it states none (or
// states zero, a negative or an absurd value).
struct FileDensity {
    double x = 0;
    double y = 0;
};

// The density of a JFIF APP0 payload (the bytes after the length field, "JFIF\0" first) whose
// unit is 1 (per inch) or 2 (per cm). True only when both values are usable (above 0, at most
// kMostPixelsPerInch); otherwise `density` is left alone. Reads at most `size` bytes.
bool ReadJfifDensity(const uint8_t* payload, size_t size, FileDensity& density) noexcept;

// XResolution and YResolution of IFD0 in an Exif APP1 payload ("Exif\0\0" first), per inch or
// per cm as ResolutionUnit says (2 inch, 3 cm; absent means inch). Same contract as above.
bool ReadExifDensity(const uint8_t* payload, size_t size, FileDensity& density) noexcept;

}  // namespace jpeg2pdf
