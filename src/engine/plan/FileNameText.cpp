// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileNameText.h"

namespace jpeg2pdf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the well-formed sequence at `at`, and its length; length 0 when there is none.
char32_t DecodeOne(std::string_view bytes, size_t at, size_t& length)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    length = 0;
    size_t expected;
    char32_t value, smallest;
    if (lead < 0x80) {
        length = 1;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        expected = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        expected = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        expected = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return kReplacement;
    }
    if (bytes.size() - at < expected)
        return kReplacement;
    for (size_t i = 1; i < expected; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if (!IsContinuation(next))
            return kReplacement;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    length = expected;
    return value;
}

}  // namespace

std::u32string DecodeAsShown(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::u32string text;
    text.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        size_t length;
        const char32_t value = DecodeOne(bytes, at, length);
        text.push_back(length == 0 ? kReplacement : value);
        at += length == 0 ? 1 : length;
    }
    return text;
}

std::string_view NameWithoutFolder(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace jpeg2pdf
