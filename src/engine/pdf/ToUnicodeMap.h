// SPDX-License-Identifier: GPL-2.0-or-later
// The ToUnicode CMap that turns the text layer's two-byte codes back into text, so that readers
// find, copy and read aloud exactly the characters that were shown.
#pragma once

#include <string>
#include <vector>

namespace jpeg2pdf {

// The CMap's program for codes 1 ... characters.size(), code n standing for characters[n - 1]:
// each as UTF-16BE, a character past U+FFFF as its surrogate pair.
std::string ToUnicodeCMap(const std::vector<char32_t>& characters);

}  // namespace jpeg2pdf
