// SPDX-License-Identifier: GPL-2.0-or-later
// A colour profile as the stream an ICCBased colour space refers to.
#pragma once

#include <cstdint>
#include <vector>

#include "OutputFile.h"
#include "PdfObjects.h"

namespace jpeg2pdf {

// Object `number`: /N components, the matching device space as /Alternate, and the profile's
// bytes compressed with Flate, or `deflated` as it is when not empty (zlib data of the same
// bytes); false when a write failed, or ENOMEM when compressing failed.
bool WriteProfileObject(posixfile::OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::vector<uint8_t>& profile,
                        int components, bool eolBeforeEndstream, const std::vector<uint8_t>& deflated = {});

}  // namespace jpeg2pdf
