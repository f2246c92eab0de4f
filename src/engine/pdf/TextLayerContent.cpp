// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextLayerContent.h"

#include <algorithm>
#include <cmath>

#include "BlankFontProgram.h"
#include "LevelWords.h"
#include "PageTurn.h"
#include "PdfObjects.h"
#include "ShownPixelSpace.h"

namespace jpeg2pdf {

namespace {

using Matrix = std::array<double, 6>;

// Horizontal scaling in percent stays where readers (and PDF/A's limits on reals) take it.
constexpr double kLeastScaling = 1;
constexpr double kMostScaling = 32767;

// In PDF's row-vector order: a point goes through `first`, then through `then`.
Matrix Concatenate(const Matrix& first, const Matrix& then)
{
    const auto& [a, b, c, d, e, f] = first;
    const auto& [A, B, C, D, E, F] = then;
    return {a * A + b * C, a * B + b * D, c * A + d * C, c * B + d * D, e * A + f * C + E, e * B + f * D + F};
}

bool Finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double value) { return std::isfinite(value); });
}

void AppendNumbers(std::string& out, std::initializer_list<double> values)
{
    for (double value : values) {
        out += PdfNumber(value);
        out += ' ';
    }
}

// Shows `hex` (`glyphs` codes) stretched over `extent` pixels at font size `size`; returns the
// width it takes, which differs from `extent` only where the scaling had to be bounded.
double ShowStretched(std::string& out, std::string_view hex, int glyphs, double extent, double size)
{
    const double natural = glyphs * size * kBlankGlyphWidth / 1000.0;
    const double scaling = std::clamp(100 * extent / natural, kLeastScaling, kMostScaling);
    out += PdfNumber(scaling);
    out += " Tz <";
    out += hex;
    out += "> Tj\n";
    return natural * scaling / 100;
}

// A recogniser's boxes of blurred words may touch or overlap; readers that tell words apart by
// the gap between them (poppler) would run such words together. Where two words come closer than
// a sixth of the line's height, both give way evenly to leave that gap.
void KeepWordsApart(TextLine& line)
{
    const double least = line.height / 6;
    for (size_t i = 1; i < line.words.size(); ++i) {
        TextWord& before = line.words[i - 1];
        TextWord& after = line.words[i];
        if (before.text.empty() || after.text.empty() || !Finite({before.start, before.end, after.start, after.end}))
            continue;
        const double middle = (before.end + after.start) / 2;
        if (after.start - before.end >= least || after.end - before.start < 4 * least)
            continue;
        before.end = std::max(before.start + least, middle - least / 2);
        after.start = std::min(after.end - least, middle + least / 2);
    }
}

void AppendMatrix(std::string& out, const Matrix& matrix)
{
    AppendNumbers(out, {matrix[0], matrix[1], matrix[2], matrix[3], matrix[4], matrix[5]});
    out += "Tm\n";
}

// One line's text object, or nothing when none of its words can be shown. The words are set
// level (see LevelWords.h): the pen runs along the axis, and where a word's baseline differs from
// the one before it, a new text matrix starts that word on its own baseline.
std::string LineObject(TextLine line, const Matrix& pixelsToPage, std::string& spaceHex, TextCodes& codes)
{
    if (!Finite({line.x0, line.y0, line.x1, line.y1, line.height}) || !(line.height > 0))
        return {};
    KeepWordsApart(line);
    const LevelLine level = SetLevel(line);
    // Along the axis, and up from it: with y running down, up is (axisY, -axisX).
    const double ux = level.axisX, uy = level.axisY;
    const auto wordMatrix = [&](double along, double raise) {
        const Matrix onBaseline = {ux, uy, uy, -ux, line.x0 + ux * along + uy * raise, line.y0 + uy * along - ux * raise};
        return Concatenate(onBaseline, pixelsToPage);
    };
    std::string shown, hex;
    bool first = true;
    Matrix firstMatrix {};
    double pen = 0, raise = 0;  // pixels along the axis from the line's start, and up from it
    for (size_t i = 0; i < line.words.size(); ++i) {
        const TextWord& word = line.words[i];
        const LevelWord& placed = level.words[i];
        if (!Finite({word.start, word.end, placed.start, placed.end, placed.raise}) || word.text.empty())
            continue;
        // Codes in order of first use: the space comes before the word it leads to.
        if (!first && spaceHex.empty())
            codes.AppendHex(" ", spaceHex);
        hex.clear();
        const int glyphs = codes.AppendHex(word.text, hex);
        if (first) {
            pen = placed.start, raise = placed.raise;
            firstMatrix = wordMatrix(pen, raise);
            first = false;
        } else {
            // The pen, not the word's start, is where the space begins: a word that overran its
            // extent is made up for by the gap after it. The space stays on the baseline of the
            // word before it.
            pen += ShowStretched(shown, spaceHex, 1, placed.start - pen, line.height);
            if (placed.raise != raise) {
                pen = placed.start, raise = placed.raise;
                AppendMatrix(shown, wordMatrix(pen, raise));
            }
        }
        pen += ShowStretched(shown, hex, glyphs, placed.end - pen, line.height);
    }
    if (first)
        return {};

    std::string object = "BT\n";
    object += kTextFontResource;
    object += ' ';
    AppendNumbers(object, {line.height});
    object += "Tf\n";
    AppendMatrix(object, firstMatrix);
    object += shown;
    object += "ET\n";
    return object;
}

}  // namespace

std::string TextLayerContent(const PageText& text, const std::array<double, 6>& pixelsToPage, const PageRect* clip,
                             TextCodes& codes)
{
    std::string lines, spaceHex;
    for (const TextBlock& block : text.blocks) {
        for (const TextLine& line : block.lines)
            lines += LineObject(line, pixelsToPage, spaceHex, codes);
    }
    if (lines.empty())
        return {};
    std::string content = "q\n";
    if (clip) {
        AppendNumbers(content, {clip->x, clip->y, clip->width, clip->height});
        content += "re W n\n";
    }
    content += "3 Tr\n";
    content += lines;
    content += "Q\n";
    return content;
}

std::string TurnedTextLayerContent(const PageText& text, const PagePlan& page, const std::array<double, 6>& turn,
                                   TextCodes& codes)
{
    std::string words = TextLayerContent(TurnedWithPage(text, page, turn), ShownPixelsToPage(page), nullptr, codes);
    if (words.empty() || !page.clipped)
        return words;
    // The clip is set in the turned frame, then the frame is turned back for the words, which are
    // already where the turn puts them.
    const Matrix back = InverseMatrix(turn);
    std::string content = "q\n";
    AppendNumbers(content, {turn[0], turn[1], turn[2], turn[3], turn[4], turn[5]});
    content += "cm\n";
    AppendNumbers(content, {page.clip.x, page.clip.y, page.clip.width, page.clip.height});
    content += "re W n\n";
    AppendNumbers(content, {back[0], back[1], back[2], back[3], back[4], back[5]});
    content += "cm\n";
    return content + words + "Q\n";
}

}  // namespace jpeg2pdf
