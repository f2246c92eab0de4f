// SPDX-License-Identifier: GPL-2.0-or-later
// The text layer's font, embedded as PDF/A asks: a Type0 font with the Identity-H encoding over
// a CIDFontType2 whose program is the blank TrueType font, every code drawn with its one empty
// glyph, and a ToUnicode map back to the text. Written after the last page, when the codes the
// pages used are known.
#pragma once

#include <cstdint>

#include "FileAccess.h"
#include "PagePlan.h"
#include "TextCodes.h"

namespace jpeg2pdf {

// The objects' numbers; `font` is the one pages name in their resources.
struct TextFontNumbers {
    int64_t font = 0;
    int64_t descendant = 0;
    int64_t descriptor = 0;
    int64_t program = 0;
    int64_t glyphMap = 0;  // CIDToGIDMap
    int64_t toUnicode = 0;
};

TextFontNumbers AllocateTextFont(ObjectAllocator& objects);

// Writes all six objects; false when a write failed (ENOMEM when compressing failed).
bool WriteTextFont(OutputFile& out, ObjectOffsets& offsets, const TextFontNumbers& numbers, const TextCodes& codes,
                   bool eolBeforeEndstream);

}  // namespace jpeg2pdf
