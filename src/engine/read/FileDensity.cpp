// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileDensity.h"

#include <cstring>

#include "TiffReader.h"

namespace jpeg2pdf {

namespace {

constexpr double kCentimetresPerInch = 2.54;

// Both values in pixels per inch, or false when either is not a usable density.
bool Usable(double x, double y, bool perCentimetre, FileDensity& density)
{
    if (perCentimetre) {
        x *= kCentimetresPerInch;
        y *= kCentimetresPerInch;
    }
    if (!(x > 0 && x <= kMostPixelsPerInch && y > 0 && y <= kMostPixelsPerInch))
        return false;
    density = {x, y};
    return true;
}

constexpr uint16_t kXResolutionTag = 0x011A;
constexpr uint16_t kYResolutionTag = 0x011B;
constexpr uint16_t kResolutionUnitTag = 0x0128;
constexpr uint16_t kShortType = 3;
constexpr uint16_t kRationalType = 5;
constexpr uint16_t kSignedRationalType = 10;

// A RATIONAL (or SRATIONAL) tag's first value; false when absent, of another type or unreadable.
bool ReadRational(const TiffReader& tiff, uint16_t tag, double& value)
{
    TiffEntry entry;
    uint32_t offset = 0, numerator = 0, denominator = 0;
    if (!FindIfd0Entry(tiff, tag, entry) || (entry.type != kRationalType && entry.type != kSignedRationalType)
        || entry.count < 1 || !tiff.Long(entry.valueField, offset) || !tiff.Long(offset, numerator)
        || !tiff.Long(size_t {offset} + 4, denominator) || denominator == 0)
        return false;
    if (entry.type == kSignedRationalType)
        value = static_cast<double>(static_cast<int32_t>(numerator)) / static_cast<int32_t>(denominator);
    else
        value = static_cast<double>(numerator) / denominator;
    return true;
}

}  // namespace

bool ReadJfifDensity(const uint8_t* payload, size_t size, FileDensity& density) noexcept
{
    // "JFIF\0", version (2 bytes), units, Xdensity, Ydensity (16-bit big-endian).
    constexpr size_t kDensityEnd = 12;
    if (size < kDensityEnd || std::memcmp(payload, "JFIF\0", 5) != 0)
        return false;
    const int unit = payload[7];
    if (unit != 1 && unit != 2)
        return false;
    const int x = payload[8] << 8 | payload[9], y = payload[10] << 8 | payload[11];
    return Usable(x, y, unit == 2, density);
}

bool ReadExifDensity(const uint8_t* payload, size_t size, FileDensity& density) noexcept
{
    TiffReader tiff(nullptr, 0);
    if (!TiffReader::FromExifPayload(payload, size, tiff))
        return false;
    uint16_t unit = 2;
    TiffEntry unitEntry;
    if (FindIfd0Entry(tiff, kResolutionUnitTag, unitEntry)
        && (unitEntry.type != kShortType || unitEntry.count != 1 || !tiff.Word(unitEntry.valueField, unit)))
        return false;
    if (unit != 2 && unit != 3)
        return false;
    double x = 0, y = 0;
    return ReadRational(tiff, kXResolutionTag, x) && ReadRational(tiff, kYResolutionTag, y)
        && Usable(x, y, unit == 3, density);
}

}  // namespace jpeg2pdf
