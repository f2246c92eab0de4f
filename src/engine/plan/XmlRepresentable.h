// SPDX-License-Identifier: GPL-2.0-or-later
// Document information as a PDF/A document describes itself: the same text in its information
// dictionary and in its XMP packet, so the two agree.
#pragma once

#include <string>
#include <string_view>

#include "DocumentInfo.h"

namespace jpeg2pdf {

// Text as both the packet and the information dictionary can hold it: decoded as the dictionary
// decodes it (DecodeAsShown: U+FFFD for bytes that are not UTF-8), without the characters XML
// cannot hold (controls other than tab, line feed and carriage return; U+FFFE and U+FFFF) and
// without a byte-order mark at its start, as UTF-8. Keeping kept text changes nothing.
std::string XmlRepresentable(std::string_view text);
// The information with every text field XmlRepresentable: what a PDF/A document describes itself
// with, in its dictionary and its packet alike.
DocumentInfo XmlRepresentableInfo(const DocumentInfo& info);

}  // namespace jpeg2pdf
