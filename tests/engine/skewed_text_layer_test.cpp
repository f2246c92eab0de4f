// SPDX-License-Identifier: GPL-2.0-or-later
// Scans come in turned by a degree or two, and the recogniser gives their lines turned baselines.
// On A4 pages of lines drawn at a known angle, every reader must still find the words in reading
// order, and each word's box must lie over the word where the picture shows it.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "ExportDetails.h"
#include "FixedPageText.h"
#include "MakeJpeg.h"
#include "ReaderTools.h"
#include "TextReaders.h"

using namespace jpeg2pdf;
using namespace engine_test;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 2480, kHeight = 3508;  // A4 at 300 dpi
constexpr double kPointsPerPixel = 72.0 / 300;

struct Row {
    double degrees;  // counter-clockwise as the page shows it
    double least;    // share of the words every reader must find in order
    // How far poppler's box of a word may lie from the word as drawn, in line heights: across the
    // line (words of a steep line are drawn together into one band, and the first word of a
    // climbing line lifted near its top; see EachWordsBoxLiesOverIt), and along it.
    double across, along;
};

const std::vector<Row> kRows = {
    {0, 0.97, 0.02, 0.02},   {-3, 0.90, 0.9, 0.05},   {-1, 0.90, 0.2, 0.05}, {-0.5, 0.90, 0.05, 0.05},
    {0.5, 0.90, 0.21, 0.05}, {1, 0.90, 0.41, 0.05},   {2.5, 0.90, 0.94, 0.05}, {3, 0.90, 1.11, 0.05},
    {6, 0.80, 2.17, 0.05},   {-6, 0.80, 2.0, 0.05},   {10, 0.80, 3.57, 0.06},
};

struct DrawnWord {
    std::string text;
    double centreX, centreY;  // pixels, the middle of the word's box
    double width, height;
};

// The drawn truth: 40 lines of made-up words in one column (a letter half as wide as the line is
// high), laid out level and then turned about the page's centre; `words` in reading order.
struct DrawnPage {
    PageText text;
    std::vector<DrawnWord> words;
};

// Unique made-up words of 2 to 9 letters, the same every run.
std::vector<std::string> Words(size_t count)
{
    std::vector<std::string> words;
    std::set<std::string> seen;
    uint32_t state = 12345;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    while (words.size() < count) {
        std::string word(2 + next() % 8, ' ');
        for (char& letter : word)
            letter = static_cast<char>('a' + next() % 26);
        if (seen.insert(word).second)
            words.push_back(word);
    }
    return words;
}

DrawnPage DrawPage(double degrees)
{
    const double turn = degrees * kPi / 180, cosine = std::cos(turn), sine = std::sin(turn);
    const double centreX = kWidth / 2.0, centreY = kHeight / 2.0;
    // Turned counter-clockwise as shown, with y running down.
    const auto turned = [&](double x, double y) {
        return std::pair {centreX + (x - centreX) * cosine + (y - centreY) * sine,
                          centreY - (x - centreX) * sine + (y - centreY) * cosine};
    };
    const std::vector<std::string> vocabulary = Words(700);
    DrawnPage page;
    page.text.blocks.emplace_back();
    size_t used = 0;
    const double left = 250, right = 2230;
    for (int row = 0; row < 40; ++row) {
        const double height = row % 3 == 0 ? 46 : 52;  // recognised lines differ a little
        const double baseline = 360 + 70 * row;
        TextLine line;
        double at = 0;
        while (used < vocabulary.size()) {
            const std::string& text = vocabulary[used];
            const double width = 0.5 * height * static_cast<double>(text.size());
            if (left + at + width > right)
                break;
            line.words.push_back({text, at, at + width});
            const auto [x, y] = turned(left + at + width / 2, baseline - 0.3 * height);
            page.words.push_back({text, x, y, width, height});
            at += width + 0.3 * height;
            ++used;
        }
        std::tie(line.x0, line.y0) = turned(left, baseline);
        std::tie(line.x1, line.y1) = turned(left + at, baseline);
        line.height = height;
        page.text.blocks[0].lines.push_back(line);
    }
    return page;
}

// One document per angle, read once by every reader for all the tests below.
class SkewedTextLayer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        const std::string picture = dir_->Write("a4.jpg", MakeJpeg({.width = kWidth, .height = kHeight, .quality = 30, .red = 250, .green = 250, .blue = 245}));
        std::vector<std::string> pdfs;
        for (const Row& row : kRows) {
            pages_.push_back(DrawPage(row.degrees));
            FixedPageText source({pages_.back().text});
            ExportOptions options;
            options.layout = {DensitySource::Fixed, 300, 0, 0, FitMode::Into, 0};
            options.text = &source;
            pdfs.push_back(Export(*dir_, {picture}, options, "turned" + std::to_string(pdfs.size()) + ".pdf"));
        }
        texts_ = ReadTexts(pdfs);
        pdfs_ = pdfs;
    }
    static void TearDownTestSuite() { delete dir_; }

    static TempDir* dir_;
    static std::vector<DrawnPage> pages_;
    static std::vector<std::string> pdfs_;
    static std::map<std::string, std::vector<std::string>> texts_;
};

TempDir* SkewedTextLayer::dir_ = nullptr;
std::vector<DrawnPage> SkewedTextLayer::pages_;
std::vector<std::string> SkewedTextLayer::pdfs_;
std::map<std::string, std::vector<std::string>> SkewedTextLayer::texts_;

}  // namespace

TEST_F(SkewedTextLayer, EveryReaderFindsTheWordsInOrder)
{
    for (size_t i = 0; i < kRows.size(); ++i) {
        std::vector<std::string> words;
        for (const DrawnWord& word : pages_[i].words)
            words.push_back(word.text);
        for (const std::string& reader : ReaderNames()) {
            SCOPED_TRACE(reader + " at " + std::to_string(kRows[i].degrees) + " degrees");
            const std::string& text = texts_.at(reader).at(i);
            const double share = ShareInOrder(words, text);
            std::printf("%-8s %5.1f degrees: %5.1f %%\n", reader.c_str(), kRows[i].degrees, 100 * share);
            EXPECT_GE(share, kRows[i].least) << text.substr(0, 600);
        }
    }
}

// Each word poppler finds has its box over the word as drawn: centred on it along the line, and
// across it exactly while the line climbs less than the band its words are kept in (0.4 of the
// line's height), else at most half the rest of the climb away. Boxes are as high as the line.
TEST_F(SkewedTextLayer, EachWordsBoxLiesOverIt)
{
    for (size_t i = 0; i < kRows.size(); ++i) {
        SCOPED_TRACE(std::to_string(kRows[i].degrees) + " degrees");
        std::map<std::string, const DrawnWord*> drawn;
        for (const DrawnWord& word : pages_[i].words)
            drawn[word.text] = &word;
        const CommandResult bbox = RunCommand("pdftotext -bbox " + Quoted(pdfs_[i]) + " - 2>/dev/null");
        size_t checked = 0;
        double worstAcross = 0, worstAlong = 0;
        for (size_t at = 0; (at = bbox.output.find("<word xMin=", at)) != std::string::npos; ++at) {
            double xMin, yMin, xMax, yMax;
            char text[64] = {};
            sscanf(bbox.output.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%63[^<]", &xMin,
                   &yMin, &xMax, &yMax, text);
            const auto found = drawn.find(text);
            if (found == drawn.end())
                continue;
            const DrawnWord& word = *found->second;
            const double height = word.height * kPointsPerPixel;
            EXPECT_NEAR(yMax - yMin, height, 0.01 * height) << text;
            worstAlong = std::max(worstAlong, std::abs((xMin + xMax) / 2 - word.centreX * kPointsPerPixel) / height);
            worstAcross = std::max(worstAcross, std::abs((yMin + yMax) / 2 - word.centreY * kPointsPerPixel) / height);
            ++checked;
        }
        std::printf("boxes at %4.1f degrees: %.3f across, %.3f along (line heights)\n", kRows[i].degrees, worstAcross,
                    worstAlong);
        EXPECT_GE(checked, pages_[i].words.size() * 9 / 10);
        EXPECT_LE(worstAcross, kRows[i].across);
        EXPECT_LE(worstAlong, kRows[i].along);
    }
}
