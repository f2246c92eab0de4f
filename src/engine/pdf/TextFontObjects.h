// SPDX-License-Identifier: GPL-2.0-or-later
// The text layer's font, embedded as PDF/A asks: a Type0 font with the Identity-H encoding over
// a CIDFontType2 whose program is the blank TrueType font, every code drawn with its one empty
// glyph, and a ToUnicode map back to the text. Written after the last page, when the codes the
// pages used are known.
#pragma once

#include <cstdint>

#include "PagePlan.h"
#include "PdfObjects.h"
#include "TextCodes.h"

namespace jpeg2pdf {

// Writes all six objects; false when a write failed (ENOMEM when compressing failed).
bool WriteTextFont(OutputFile& out, ObjectOffsets& offsets, const TextFontNumbers& numbers, const TextCodes& codes,
                   bool eolBeforeEndstream);

}  // namespace jpeg2pdf
