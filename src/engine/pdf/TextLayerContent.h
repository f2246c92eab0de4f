// SPDX-License-Identifier: GPL-2.0-or-later
// The content-stream operators of a page's invisible text: drawn before the image, in render
// mode 3 (neither filled nor stroked), so the page looks exactly as without it while readers find,
// select and copy the words where they stand in the picture.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "PageGeometry.h"
#include "PagePlan.h"
#include "PageText.h"
#include "TextCodes.h"

namespace jpeg2pdf {

// The operators for `text` inside q ... Q, or nothing for a page without words.
// `pixelsToPage` is the matrix that takes the picture's pixels as the page shows them (x right,
// y down from the top left corner) to page space; with `clip` set, the words are clipped to it as
// the image is. Each line is one text object: the font size is the line's height, each word is
// set level on its own baseline (LevelWords.h; a level line's words share the line's baseline and
// one text matrix) and stretched to its extent with horizontal scaling, and a space glyph
// stretched to the gap stands between words. Lines without a positive finite height or finite
// baseline, and words without a finite extent or any text, are left out.
std::string TextLayerContent(const PageText& text, const std::array<double, 6>& pixelsToPage, const PageRect* clip,
                             TextCodes& codes);

// The same for a page that turns its picture by `turn` (PageTurn.h): the words turn with the
// picture, and a clipped picture's clip turns with both.
std::string TurnedTextLayerContent(const PageText& text, const PagePlan& page, const std::array<double, 6>& turn,
                                   TextCodes& codes);

}  // namespace jpeg2pdf
