// SPDX-License-Identifier: GPL-2.0-or-later
// Whether a file is a picture the command line makes pages of, told from its first bytes alone:
// for those who choose files before anything is exported (a folder's pictures).
#pragma once

#include <cstddef>
#include <cstdint>

#include "PictureKind.h"

namespace jpeg2pdf {

// How many first bytes the calls below need to tell every kind (fewer for a shorter file).
constexpr size_t kPictureSignatureBytes = 16;

// The kind the signature says, never the name.
PictureKind PictureKindOfSignature(const uint8_t* firstBytes, size_t size) noexcept;

// True for the kinds ExportJpegList makes pages of with every kind accepted (acceptGray,
// acceptPng, acceptTiff): JPEG, PNG and TIFF. A file it is true for may still be refused for what follows.
bool ExportTakesSignature(const uint8_t* firstBytes, size_t size) noexcept;

}  // namespace jpeg2pdf
