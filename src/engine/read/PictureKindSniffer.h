// SPDX-License-Identifier: GPL-2.0-or-later
// A file's kind told from its first bytes (its signature), never from its name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "PictureKind.h"

namespace jpeg2pdf {

// How many of a file's first bytes KindFromSignature needs to tell every kind it knows.
constexpr size_t kSignatureBytes = 16;

// `bytes` are the file's first `size` bytes (fewer than kSignatureBytes for a short file).
PictureKind KindFromSignature(const uint8_t* bytes, size_t size);

// "a PNG picture", "a PDF document"; empty for Unknown.
const char* KindName(PictureKind kind);

}  // namespace jpeg2pdf
