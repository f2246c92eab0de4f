// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextCodes.h"

namespace jpeg2pdf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character that begins at `text[at]` and how many bytes it takes; U+FFFD for one byte that
// does not begin a well-formed sequence (overlong forms, surrogates and values past U+10FFFF
// included).
char32_t DecodeUtf8(std::string_view text, size_t at, size_t& length)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = 1;
    if (lead < 0x80)
        return lead;
    size_t more = 0;
    char32_t value = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3, value = lead & 0x07, least = 0x10000;
    } else {
        return kReplacement;
    }
    if (at + more >= text.size())
        return kReplacement;
    for (size_t i = 1; i <= more; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return kReplacement;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    length = more + 1;
    return value;
}

}  // namespace

uint16_t TextCodes::Code(char32_t character)
{
    if (characters_.size() >= kLastCode - 1 && character != kReplacement && !codes_.count(character))
        character = kReplacement;
    const auto [found, added] = codes_.try_emplace(character, static_cast<uint16_t>(characters_.size() + 1));
    if (added)
        characters_.push_back(character);
    return found->second;
}

int TextCodes::AppendHex(std::string_view utf8, std::string& hex)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    int count = 0;
    for (size_t at = 0, length = 0; at < utf8.size(); at += length, ++count) {
        const uint16_t code = Code(DecodeUtf8(utf8, at, length));
        for (int shift = 12; shift >= 0; shift -= 4)
            hex += kDigits[(code >> shift) & 0xF];
    }
    return count;
}

}  // namespace jpeg2pdf
