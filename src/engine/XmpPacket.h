// SPDX-License-Identifier: GPL-2.0-or-later
// The XMP metadata packet of a PDF/A document: its identification and the same facts the
// information dictionary holds, so that the two agree.
#pragma once

#include <string>
#include <string_view>

#include "ExportDetails.h"

namespace jpeg2pdf {

// The date in XMP's form: 2026-12-07T15:04:05+01:00, ...Z for UTC, no zone when none is known.
std::string XmpDate(const DocumentDate& date);

// Text as XML character data: markup characters as references, CR as &#13; (parsers would turn
// it into LF), other controls XML cannot hold dropped, and bytes that are not UTF-8 as U+FFFD.
std::string XmlText(std::string_view utf8);

// The whole packet (UTF-8, header and writable trailer) for PDF/A part 1 or 2, conformance B.
// Empty fields are left out, as the information dictionary leaves them out; `producer` is the
// information dictionary's /Producer.
std::string XmpPacket(PdfAPart part, const DocumentInfo& info, std::string_view producer);

}  // namespace jpeg2pdf
