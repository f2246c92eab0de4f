// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecognisedLayout.h"

#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>

namespace ocr {

namespace {

using jpeg2pdf::TextLine;
using jpeg2pdf::TextWord;
using tesseract::RIL_BLOCK;
using tesseract::RIL_PARA;
using tesseract::RIL_TEXTLINE;
using tesseract::RIL_WORD;

// The word's text without spaces of any kind; empty when it holds nothing else.
std::string WordText(tesseract::ResultIterator* it)
{
    const std::unique_ptr<char[]> raw(it->GetUTF8Text(RIL_WORD));
    std::string text;
    for (const char* c = raw ? raw.get() : ""; *c; ++c)
        if (!std::isspace(static_cast<unsigned char>(*c)))
            text += *c;
    return text;
}

// A line starts at the beginning of its baseline in reading order (the right end for right-to-left
// text), with its height from the lowest descender to the highest ascender.
TextLine StartLine(tesseract::ResultIterator* it)
{
    TextLine line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, left = 0, top = 0, right = 0, bottom = 0;
    it->BoundingBox(RIL_TEXTLINE, &left, &top, &right, &bottom);
    if (!it->Baseline(RIL_TEXTLINE, &x1, &y1, &x2, &y2) || (x1 == x2 && y1 == y2)) {
        x1 = left, x2 = right, y1 = y2 = bottom;
    }
    if (!it->ParagraphIsLtr())
        std::swap(x1, x2), std::swap(y1, y2);
    line.x0 = x1, line.y0 = y1, line.x1 = x2, line.y1 = y2;
    float rowHeight = 0, descenders = 0, ascenders = 0;
    it->RowAttributes(&rowHeight, &descenders, &ascenders);
    // Never 0: the text layer leaves out a line without a height, and the text files keep every word.
    line.height = rowHeight > 0 ? rowHeight : std::max(bottom - top, 1);
    return line;
}

// The word's box projected onto the line's baseline: where it starts and ends along it.
TextWord PlaceWord(const TextLine& line, int left, int top, int right, int bottom, std::string text)
{
    const double dx = line.x1 - line.x0, dy = line.y1 - line.y0;
    const double length = std::hypot(dx, dy);
    const double ux = length > 0 ? dx / length : 1, uy = length > 0 ? dy / length : 0;
    double start = INFINITY, end = -INFINITY;
    for (const double x : {double(left), double(right)})
        for (const double y : {double(top), double(bottom)}) {
            const double along = (x - line.x0) * ux + (y - line.y0) * uy;
            start = std::min(start, along);
            end = std::max(end, along);
        }
    return TextWord {std::move(text), start, end};
}

}  // namespace

jpeg2pdf::PageText ReadRecognisedLayout(tesseract::ResultIterator* it, PageWords* record)
{
    jpeg2pdf::PageText page;
    if (!it || it->Empty(RIL_WORD))
        return page;
    PageWords kept;
    bool newBlock = true;
    TextLine* line = nullptr;
    RecordedLine* recorded = nullptr;  // the record's twin of `line`
    do {
        if (it->IsAtBeginningOf(RIL_BLOCK))
            newBlock = true;
        if (it->IsAtBeginningOf(RIL_TEXTLINE) || !line || newBlock) {
            if (newBlock || page.blocks.empty()) {
                page.blocks.emplace_back();
                kept.blocks.emplace_back();
            }
            if (newBlock || it->IsAtBeginningOf(RIL_PARA) || kept.blocks.back().paragraphs.empty())
                kept.blocks.back().paragraphs.emplace_back();
            newBlock = false;
            line = &page.blocks.back().lines.emplace_back(StartLine(it));
            recorded = &kept.blocks.back().paragraphs.back().lines.emplace_back();
            const bool leftToRight = line->x0 <= line->x1;
            recorded->x0 = leftToRight ? line->x0 : line->x1, recorded->y0 = leftToRight ? line->y0 : line->y1;
            recorded->x1 = leftToRight ? line->x1 : line->x0, recorded->y1 = leftToRight ? line->y1 : line->y0;
        }
        std::string text = WordText(it);
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!text.empty() && it->BoundingBox(RIL_WORD, &left, &top, &right, &bottom)) {
            recorded->words.push_back({text,
                                       {double(left), double(top), double(right), double(bottom)},
                                       std::clamp(double(it->Confidence(RIL_WORD)), 0.0, 100.0)});
            line->words.push_back(PlaceWord(*line, left, top, right, bottom, std::move(text)));
        }
    } while (it->Next(RIL_WORD));
    // Lines and blocks that held only empty words go, from the record too.
    for (jpeg2pdf::TextBlock& block : page.blocks) {
        std::erase_if(block.lines, [](const TextLine& l) { return l.words.empty(); });
    }
    std::erase_if(page.blocks, [](const jpeg2pdf::TextBlock& b) { return b.lines.empty(); });
    for (RecordedBlock& block : kept.blocks) {
        for (RecordedParagraph& paragraph : block.paragraphs)
            std::erase_if(paragraph.lines, [](const RecordedLine& l) { return l.words.empty(); });
        std::erase_if(block.paragraphs, [](const RecordedParagraph& p) { return p.lines.empty(); });
    }
    std::erase_if(kept.blocks, [](const RecordedBlock& b) { return b.paragraphs.empty(); });
    if (record)
        record->blocks = std::move(kept.blocks);
    return page;
}

void ScalePageText(jpeg2pdf::PageText& text, double scale)
{
    if (scale == 1)
        return;
    for (jpeg2pdf::TextBlock& block : text.blocks)
        for (TextLine& line : block.lines) {
            line.x0 *= scale, line.y0 *= scale, line.x1 *= scale, line.y1 *= scale, line.height *= scale;
            for (TextWord& word : line.words)
                word.start *= scale, word.end *= scale;
        }
}

void TurnPageTextBack(jpeg2pdf::PageText& text, int turns, double width, double height)
{
    text.rotate = turns & 3;
    // A point (x, y) of the picture turned clockwise `turns` times came from this point of the
    // picture before the turn; distances along a line do not change.
    const auto back = [turns, width, height](double& x, double& y) {
        const double ux = x, uy = y;
        switch (turns & 3) {
        case 1:  // turned clockwise: the unturned picture is `width` high
            x = uy, y = width - ux;
            break;
        case 2:
            x = width - ux, y = height - uy;
            break;
        case 3:
            x = height - uy, y = ux;
            break;
        default:
            break;
        }
    };
    for (jpeg2pdf::TextBlock& block : text.blocks)
        for (TextLine& line : block.lines) {
            back(line.x0, line.y0);
            back(line.x1, line.y1);
        }
}

}  // namespace ocr
