// SPDX-License-Identifier: GPL-2.0-or-later
// The smallest TrueType font program a reader accepts for the text layer: two glyphs, each
// kBlankGlyphWidth wide in an em of 1000: .notdef, empty, and the one every code shows, whose
// outline is a single line from the descent at its left to the ascent at its right. That
// outline encloses no area, so it draws nothing whatever the render mode, yet gives the glyph
// the box readers need to keep its text (a glyph without an outline has none, and some readers
// drop what they take to lie nowhere).
#pragma once

#include <string>

namespace jpeg2pdf {

inline constexpr int kBlankGlyphWidth = 500;
inline constexpr int kBlankAscent = 800;
inline constexpr int kBlankDescent = -200;

// The font file's bytes (the same every time).
const std::string& BlankFontProgram();

}  // namespace jpeg2pdf
