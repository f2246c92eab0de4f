// SPDX-License-Identifier: GPL-2.0-or-later
// The XMP metadata packet of a PDF/A document: its identification and the same facts the
// information dictionary holds, so that the two agree.
#pragma once

#include <string>
#include <string_view>

#include "DocumentInfo.h"
#include "XmlRepresentable.h"

namespace jpeg2pdf {

// XmlRepresentable text as XML character data: markup characters as references, CR as &#13;
// (parsers would read it as a line feed).
std::string XmlText(std::string_view text);

// The whole packet (UTF-8, header and writable trailer) for PDF/A part 1 or 2, conformance B.
// Empty fields are left out, as the information dictionary leaves them out; the creation date in
// its ISO 8601 form (IsoDateText); `producer` is the information dictionary's /Producer.
std::string XmpPacket(PdfAPart part, const DocumentInfo& info, std::string_view producer);

}  // namespace jpeg2pdf
