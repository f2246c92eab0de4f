// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormatCharacters.h"

#include <algorithm>
#include <iterator>

namespace extract {

namespace {

struct Range {
    char32_t first, last;
};

// Category Cf as of Unicode 15.0, in order.
constexpr Range kFormat[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD}, {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F}, {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB}, {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

// The character a well-formed UTF-8 sequence at `at` encodes and its length; length 0 for
// anything else (an overlong form, a surrogate, a stray byte).
char32_t DecodeAt(std::string_view text, size_t at, size_t& length)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : lead < 0x80 ? 1 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) {
        length = 0;
        return 0;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            length = 0;
            return 0;
        }
        c = (c << 6) | (byte(i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        length = 0;
    return c;
}

}  // namespace

bool IsFormatCharacter(char32_t c)
{
    const auto after = std::upper_bound(std::begin(kFormat), std::end(kFormat), c,
                                        [](char32_t value, const Range& r) { return value < r.first; });
    return after != std::begin(kFormat) && c <= std::prev(after)->last;
}

std::string WithoutFormatCharacters(std::string_view utf8)
{
    std::string kept;
    kept.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        size_t length = 0;
        const char32_t c = DecodeAt(utf8, at, length);
        if (length == 0) {
            kept += utf8[at++];
            continue;
        }
        if (!IsFormatCharacter(c))
            kept.append(utf8.substr(at, length));
        at += length;
    }
    return kept;
}

}  // namespace extract
