// SPDX-License-Identifier: GPL-2.0-or-later
// Where a line's words go in the text layer when its baseline is turned. Readers group glyphs
// into words and lines by their baselines: poppler ends a word wherever the next glyph's baseline
// moves by half a point and ends a line where a word's baseline lies half the font size from the
// line's, and PDFBox ends a line where glyphs stop overlapping across, so glyphs set along a
// turned baseline fall apart into fragments. Each word is therefore set level, along the page
// axis nearest to its line, on its own baseline through the word's middle: its glyphs share one
// baseline, so no reader splits it, and its box lies over the word as the picture shows it. Where
// a line climbs more than 0.4 of its height from end to end, the words' baselines are drawn
// together about the line's middle to stay within that band, and its first word is lifted to
// near the top of the band, where poppler starts a line, so every reader keeps them one line.
#pragma once

#include <vector>

#include "PageText.h"

namespace jpeg2pdf {

struct LevelWord {
    // Along the axis, in pixels from the line's start: where the word's glyphs begin and end.
    double start = 0;
    double end = 0;
    // Across the axis, in pixels up from the line's start: the word's own baseline; the words of
    // one line lie within 0.4 of its height of each other.
    double raise = 0;
};

struct LevelLine {
    // The unit axis (x right, y down, in the picture's pixels) the line runs nearest to: one of
    // (1, 0), (-1, 0), (0, 1), (0, -1); up from it is (axisY, -axisX).
    double axisX = 1, axisY = 0;
    std::vector<LevelWord> words;  // one for each of the line's words, in their order
};

// A line whose baseline lies along an axis keeps its words' extents and gets no raise, so a level
// page's layer is what it always was. A baseline of no length (or not finite) counts as level and
// running right. Words without finite extents come back without finite ones.
LevelLine SetLevel(const TextLine& line);

}  // namespace jpeg2pdf
