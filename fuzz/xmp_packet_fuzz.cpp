// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes as document information text to the XMP packet: whatever the bytes, the
// text both the packet and the information dictionary keep is well-formed UTF-8 holding only
// characters XML allows, keeping it changes nothing more, and the packet carries it escaped.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FileNameText.h"
#include "XmpPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string given(reinterpret_cast<const char*>(data), size);
    const std::string kept = jpeg2pdf::XmlRepresentable(given);
    if (jpeg2pdf::XmlRepresentable(kept) != kept)
        std::abort();  // not well-formed UTF-8, or a character dropped on the second pass
    for (char32_t c : jpeg2pdf::DecodeAsShown(kept)) {
        if (c == 0xFFFE || c == 0xFFFF || (c < 0x20 && c != '\t' && c != '\n' && c != '\r'))
            std::abort();
    }
    const std::string escaped = jpeg2pdf::XmlText(kept);
    if (escaped.find_first_of("<>\r") != std::string::npos)
        std::abort();
    jpeg2pdf::DocumentInfo info;
    info.title = info.author = info.subject = info.keywords = given;
    const std::string packet = jpeg2pdf::XmpPacket(jpeg2pdf::PdfAPart::A1b, info, "Leafbind");
    if (!kept.empty() && packet.find(">" + escaped + "<") == std::string::npos)
        std::abort();
    return 0;
}
