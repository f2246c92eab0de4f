// SPDX-License-Identifier: GPL-2.0-or-later
// Invisible format characters (Unicode category Cf): bidirectional controls, zero-width
// characters, the soft hyphen, tags. In a file name they hide or reorder what a listing shows.
#pragma once

#include <string>
#include <string_view>

namespace extract {

bool IsFormatCharacter(char32_t c);

// `utf8` without the format characters it encodes; bytes that are not well-formed UTF-8 stay.
std::string WithoutFormatCharacters(std::string_view utf8);

}  // namespace extract
