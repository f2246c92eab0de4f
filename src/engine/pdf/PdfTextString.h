// SPDX-License-Identifier: GPL-2.0-or-later
// Text strings for the document information dictionary and the outline.
#pragma once

#include <string>
#include <string_view>

namespace jpeg2pdf {

// The literal string token, parentheses included, that readers decode back to `text`:
// PDFDocEncoding when every character has a code there, UTF-16BE with a byte-order mark
// otherwise. Only printable ASCII other than ( ) \ is written as itself; every other byte is an
// escape, so no text can end the string early or have its line ends normalised by a reader.
std::string PdfTextString(std::u32string_view text);
// The same for UTF-8 bytes, decoded as a desktop shows them (see DecodeAsShown).
std::string PdfTextString(std::string_view utf8);

// The bytes the document holds for UTF-8 `text` as a text string: PDFDocEncoding, or UTF-16BE
// with its byte-order mark. What the PDF/A parts' limits count; escapes are syntax, not bytes.
size_t PdfTextStringBytes(std::string_view text);

}  // namespace jpeg2pdf
