// SPDX-License-Identifier: GPL-2.0-or-later
// The values a PDF reader, or a PDF/A part, can hold: the engine keeps to them, and a front end
// checks what it passes against them before anything is written.
#pragma once

#include <cstddef>
#include <string_view>

#include "DocumentInfo.h"
#include "ReaderBounds.h"

namespace jpeg2pdf {

// The most bytes a text string of the document (its information, say) may hold under `part`:
// 65,535 for PDF/A-1b, 32,767 for PDF/A-2b; 0 without a part, which sets no limit.
size_t PdfAMostTextStringBytes(PdfAPart part);

// The bytes the document holds for UTF-8 `text` as a text string: PDFDocEncoding, or UTF-16BE
// with its byte-order mark. What the parts' limits count; the file's escapes are syntax, not bytes.
size_t PdfTextStringBytes(std::string_view text);

}  // namespace jpeg2pdf
