// SPDX-License-Identifier: GPL-2.0-or-later
// The recognised text as files for archives, written beside the document a page at a time: plain
// text, hOCR 1.2 (XHTML) and ALTO 4 (pixels). Each holds the words of the text layer in its order.
#pragma once

#include <string>
#include <vector>

#include "PageWords.h"

namespace ocr {

enum class TextFormat { Plain, Hocr, Alto };

// What opens a file of `format`: `names` are the pages' source files in page order, as shown (any
// bytes; what is not UTF-8 is written as \xNN).
std::string TextFileStart(TextFormat format, const std::vector<std::string>& names);

// Page `index` (from 0) of the document, whose picture is the file `name`.
std::string TextFilePage(TextFormat format, int index, const std::string& name, const PageWords& page);

// What closes it.
std::string TextFileEnd(TextFormat format);

}  // namespace ocr
