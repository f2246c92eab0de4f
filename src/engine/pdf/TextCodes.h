// SPDX-License-Identifier: GPL-2.0-or-later
// The two-byte character codes of the text layer's font: each Unicode character gets the next
// free code the first time it is shown, so the same text always gives the same bytes, and the
// ToUnicode map written after the last page turns every code back into its character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace jpeg2pdf {

class TextCodes {
public:
    // The highest code; once the codes below it are taken, every new character shares the code
    // of U+FFFD (the replacement character).
    static constexpr uint32_t kLastCode = 0xFFFF;

    // Appends the codes of `utf8` as hex digits (four per character) to `hex`; returns how many
    // characters were appended. A byte that does not begin a well-formed UTF-8 sequence is
    // shown as U+FFFD.
    int AppendHex(std::string_view utf8, std::string& hex);
    // The code of one character, assigned on first use.
    uint16_t Code(char32_t character);
    // The character of code n is at index n - 1; codes begin at 1.
    const std::vector<char32_t>& Characters() const { return characters_; }

private:
    std::unordered_map<char32_t, uint16_t> codes_;
    std::vector<char32_t> characters_;
};

}  // namespace jpeg2pdf
