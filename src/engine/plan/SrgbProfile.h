// SPDX-License-Identifier: GPL-2.0-or-later
// The sRGB profile a PDF/A document names as its output intent, made by the colour library.
#pragma once

#include <cstdint>
#include <vector>

namespace jpeg2pdf {

// The colour library's built-in sRGB profile saved as ICC version 2.1, which both PDF/A parts
// accept; its creation date is fixed so that two runs write the same bytes. Empty when the
// library fails; throws only std::bad_alloc.
std::vector<uint8_t> SrgbProfileVersion2();

}  // namespace jpeg2pdf
