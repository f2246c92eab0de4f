// SPDX-License-Identifier: GPL-2.0-or-later
// File names shown as text: bytes of unknown encoding turned into characters, the way a desktop
// in a UTF-8 locale shows them.
#pragma once

#include <string>
#include <string_view>

namespace jpeg2pdf {

// Decodes UTF-8 the way desktop toolkits decode a file name in a UTF-8 locale: each byte
// that does not begin a well-formed sequence (shortest form, no surrogates, at most U+10FFFF)
// becomes one U+FFFD, and a byte-order mark at the very start is dropped. Never fails.
std::u32string DecodeAsShown(std::string_view bytes);

// The last component of a path: what follows its last '/'.
std::string_view NameWithoutFolder(std::string_view path);

}  // namespace jpeg2pdf
