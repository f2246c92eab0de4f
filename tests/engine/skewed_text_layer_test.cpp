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
};

const std::vector<Row> kRows = {
    {0, 0.97},  {-3, 0.90}, {-1, 0.90}, {-0.5, 0.90}, {0.5, 0.90}, {1, 0.90}, {2.5, 0.90}, {3, 0.90}, {6, 0.80},
};

struct DrawnWord {
    std::string text;
    double centreX, centreY;  // pixels, the middle of the word's box
    double width, height;
};

// The drawn truth: 40 lines of 12-pixel-per-letter... words in one column, laid out level and
// then turned about the page's centre, with the words each reader must find in this order.
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
    static void TearDownTestSuite() { if (!getenv("KEEP_PDFS")) delete dir_; }

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
