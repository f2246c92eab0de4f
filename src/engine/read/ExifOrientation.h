// SPDX-License-Identifier: GPL-2.0-or-later
// The Exif orientation of a JPEG: how the stored picture must be turned to be shown upright.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jpeg2pdf {

// Reads tag 0x0112 of IFD0 from the payload of an APP1 segment (the bytes after its length
// field, starting with "Exif\0\0"). Every read stays inside `size` bytes. Returns 1 to 8; a
// missing, unreadable or invalid value counts as 1 (stored upright).
int ReadExifOrientation(const uint8_t* payload, size_t size) noexcept;

}  // namespace jpeg2pdf
