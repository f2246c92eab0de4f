// SPDX-License-Identifier: GPL-2.0-or-later
// A colour profile as the stream an ICCBased colour space refers to.
#pragma once

#include <cstdint>
#include <vector>

#include "FileAccess.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// The lowest PDF 1.x minor version whose ICCBased colour spaces take a profile of the version its
// header states (bytes 8 and 9): 3 up to version 2.1, 4 for the rest of 2.x, 5 for 4.0, 6 for
// 4.1, 7 after that. A header too short to say counts as the oldest.
int PdfMinorForProfile(const std::vector<uint8_t>& profile);

// Object `number`: /N components, the matching device space as /Alternate, and the profile's
// bytes compressed with Flate; false when a write failed, or ENOMEM when compressing failed.
bool WriteProfileObject(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::vector<uint8_t>& profile,
                        int components, bool eolBeforeEndstream);

}  // namespace jpeg2pdf
