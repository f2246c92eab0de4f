// SPDX-License-Identifier: GPL-2.0-or-later
// Marker segments for JpegRecipe::leadingSegments: JFIF density, Exif IFD0 fields, any other.
#pragma once

#include <cstdint>
#include <string>

// A whole segment: 0xFF, the marker, the 16-bit length (payload + 2), the payload. Throws
// std::length_error when the payload does not fit a segment (over 65533 bytes).
std::string MarkerSegment(int marker, const std::string& payload);

// A JFIF APP0 segment, version 1.02, with the given density unit (0 aspect ratio only, 1 per
// inch, 2 per cm) and 16-bit densities, without a thumbnail.
std::string JfifSegment(int unit, int xDensity, int yDensity);

struct ExifRational {
    uint32_t numerator = 0;
    uint32_t denominator = 1;
};

// The IFD0 fields an Exif APP1 segment carries; a field whose `has` flag is false is left out.
struct ExifFields {
    bool bigEndian = false;
    bool hasOrientation = false;
    int orientation = 1;
    bool hasResolution = false;  // XResolution and YResolution as RATIONALs
    ExifRational xResolution, yResolution;
    bool hasResolutionUnit = false;
    int resolutionUnit = 2;  // 1 none, 2 inch, 3 cm
};

// An Exif APP1 segment: "Exif\0\0", a TIFF header in the chosen byte order, IFD0 with the given
// fields in tag order, and the rationals' values after it.
std::string ExifSegment(const ExifFields& fields);
