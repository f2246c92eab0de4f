// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExifOrientation.h"

#include "TiffReader.h"

namespace jpeg2pdf {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;

}  // namespace

int ReadExifOrientation(const uint8_t* payload, size_t size) noexcept
{
    TiffReader tiff(nullptr, 0);
    TiffEntry entry;
    if (!TiffReader::FromExifPayload(payload, size, tiff) || !FindIfd0Entry(tiff, kOrientationTag, entry))
        return 1;
    // One SHORT sits in the first two bytes of the value field.
    uint16_t value = 0;
    if (entry.type != kShortType || entry.count != 1 || !tiff.Word(entry.valueField, value) || value < 1 || value > 8)
        return 1;
    return value;
}

}  // namespace jpeg2pdf
