// SPDX-License-Identifier: GPL-2.0-or-later
// The XMP metadata packet of a PDF/A document: its identification and the same facts the
// information dictionary holds, so that the two agree.
#pragma once

#include <string>
#include <string_view>

#include "ExportDetails.h"

namespace jpeg2pdf {

// Text as both the packet and the information dictionary can hold it: decoded as the dictionary
// decodes it (DecodeAsShown: U+FFFD for bytes that are not UTF-8), without the characters XML
// cannot hold (controls other than tab, line feed and carriage return; U+FFFE and U+FFFF) and
// without a byte-order mark at its start, as UTF-8. Keeping kept text changes nothing.
std::string XmlRepresentable(std::string_view text);
// The information with every text field XmlRepresentable: what a PDF/A document describes itself
// with, in its dictionary and its packet alike.
DocumentInfo XmlRepresentableInfo(const DocumentInfo& info);

// XmlRepresentable text as XML character data: markup characters as references, CR as &#13;
// (parsers would read it as a line feed).
std::string XmlText(std::string_view text);

// The whole packet (UTF-8, header and writable trailer) for PDF/A part 1 or 2, conformance B.
// Empty fields are left out, as the information dictionary leaves them out; the creation date in
// its ISO 8601 form (IsoDateText); `producer` is the information dictionary's /Producer.
std::string XmpPacket(PdfAPart part, const DocumentInfo& info, std::string_view producer);

}  // namespace jpeg2pdf
