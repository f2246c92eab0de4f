// SPDX-License-Identifier: GPL-2.0-or-later
// What the recogniser found on a page, for the text files written beside the document (plain
// text, hOCR, ALTO): the same blocks, lines and words as the page's text layer, in the same order,
// with paragraphs, each word's box and confidence, and each line's baseline. Coordinates are the
// picture's pixels as the page shows it upright: after the Exif turn the page follows and after
// the quarter turns that set it upright (PageText::rotate), before any turn that straightens it
// (PageText::turn); x runs right and y down from the top left corner.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace ocr {

struct WordBox {
    double left = 0, top = 0, right = 0, bottom = 0;
};

struct RecordedWord {
    std::string text;  // as the text layer holds it: UTF-8, no spaces
    WordBox box;
    double confidence = 0;  // 0 to 100
};

struct RecordedLine {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // the baseline, left end first
    std::vector<RecordedWord> words;  // in reading order
};

struct RecordedParagraph {
    std::vector<RecordedLine> lines;
};

struct RecordedBlock {
    std::vector<RecordedParagraph> paragraphs;
};

struct PageWords {
    int width = 0, height = 0;  // the picture as the page shows it upright; 0 when it could not be read
    std::vector<RecordedBlock> blocks;
};

// The smallest box holding `a` and `b`; an empty `a` (right < left) is `b`.
inline WordBox Union(const WordBox& a, const WordBox& b)
{
    if (a.right < a.left)
        return b;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Every point through `map` (a word's box becomes the box round its four mapped corners).
template <typename Map> void MapPageWords(PageWords& page, const Map& map);

}  // namespace ocr

template <typename Map> void ocr::MapPageWords(PageWords& page, const Map& map)
{
    for (RecordedBlock& block : page.blocks)
        for (RecordedParagraph& paragraph : block.paragraphs)
            for (RecordedLine& line : paragraph.lines) {
                map(line.x0, line.y0);
                map(line.x1, line.y1);
                for (RecordedWord& word : line.words) {
                    WordBox box {1, 1, 0, 0};
                    for (double x : {word.box.left, word.box.right})
                        for (double y : {word.box.top, word.box.bottom}) {
                            double mx = x, my = y;
                            map(mx, my);
                            box = Union(box, {mx, my, mx, my});
                        }
                    word.box = box;
                }
            }
}
