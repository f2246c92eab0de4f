// SPDX-License-Identifier: GPL-2.0-or-later
#include "XmlRepresentable.h"

#include "FileNameText.h"

namespace jpeg2pdf {

namespace {

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool XmlHolds(char32_t c) { return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF); }

}  // namespace

std::string XmlRepresentable(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char32_t c : DecodeAsShown(text)) {
        // A byte-order mark that would lead the kept text is one the dictionary's reading drops.
        if (XmlHolds(c) && !(c == 0xFEFF && kept.empty()))
            AppendUtf8(kept, c);
    }
    return kept;
}

DocumentInfo XmlRepresentableInfo(const DocumentInfo& info)
{
    DocumentInfo kept = info;
    for (std::string* field : {&kept.title, &kept.author, &kept.subject, &kept.keywords})
        *field = XmlRepresentable(*field);
    return kept;
}

}  // namespace jpeg2pdf
