// SPDX-License-Identifier: GPL-2.0-or-later
// The page text source on pages ImageMagick draws at 300 dpi: every word read back, and each
// word's box over the ink of the drawn word (found in the drawing itself), whatever way the page
// is stored.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "DecodeJpeg.h"
#include "DrawnText.h"
#include "LanguageData.h"
#include "MakeJpeg.h"
#include "RecognisedPages.h"
#include "TempDir.h"

namespace {

struct InkBox {
    int left, right, baseline;
};

// Each word's ink in the drawing: the inked columns of its line's band, split where the gap is
// wider than the gaps within a word.
std::vector<InkBox> InkOfWords(const RgbImage& p, const std::vector<std::string>& lines)
{
    std::vector<InkBox> boxes;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int baseline = 150 + 110 * int(i);
        std::vector<int> inked;
        for (int x = 0; x < p.width; ++x)
            for (int y = baseline - 55; y < baseline + 20; ++y)
                if (p.pixels[size_t(y * p.width + x) * 3] < 128) {
                    inked.push_back(x);
                    break;
                }
        for (size_t at = 0; at < inked.size(); ++at) {
            const int left = inked[at];
            while (at + 1 < inked.size() && inked[at + 1] - inked[at] <= 11)
                ++at;
            boxes.push_back({left, inked[at] + 1, baseline});
        }
    }
    return boxes;
}

using Point = std::pair<double, double>;

struct Page {
    const char* name;
    std::string path;
    int orientation;  // as the engine asks for it
    int rotate;  // the turn expected back
    std::function<Point(double, double)> upright;  // a point of the page as shown, in the drawing
    const std::vector<std::string>* lines;  // null: no words expected
    std::string warning = "";  // the start of the one warning expected
};

void Recognise(const ocr::OcrSettings& settings, const std::vector<Page>& pages, const RgbImage& drawing)
{
    std::vector<std::string> warnings(pages.size());
    ocr::RecognisedPages source(settings, ocr::LanguageDataFolder(),
                                [&](int entry, const std::string& text) { warnings[size_t(entry)] += text; });
    std::vector<jpeg2pdf::PageTextRequest> requests;
    for (size_t i = 0; i < pages.size(); ++i)
        requests.push_back({int(i), pages[i].path, pages[i].orientation});
    source.Begin(requests);
    for (size_t i = 0; i < pages.size(); ++i) {
        const Page& page = pages[i];
        SCOPED_TRACE(page.name);
        const jpeg2pdf::PageText text = source.Take(int(i));
        EXPECT_EQ(warnings[i].substr(0, page.warning.size()), page.warning);
        EXPECT_EQ(text.rotate, page.rotate);
        std::vector<std::string> got;
        std::vector<std::array<Point, 2>> ends;  // where each word starts and ends, in the drawing
        for (const jpeg2pdf::TextBlock& block : text.blocks)
            for (const jpeg2pdf::TextLine& line : block.lines) {
                const double length = std::hypot(line.x1 - line.x0, line.y1 - line.y0);
                const auto along = [&](double d) {
                    return page.upright(line.x0 + (line.x1 - line.x0) * d / length,
                                        line.y0 + (line.y1 - line.y0) * d / length);
                };
                EXPECT_NEAR(line.height, 55, 15);  // 12 pt at 300 dpi
                for (const jpeg2pdf::TextWord& word : line.words) {
                    got.push_back(word.text);
                    ends.push_back({along(word.start), along(word.end)});
                }
            }
        if (!page.lines) {
            EXPECT_EQ(got, std::vector<std::string>());
            continue;
        }
        ASSERT_EQ(got, WordsOf(*page.lines));
        const std::vector<InkBox> ink = InkOfWords(drawing, *page.lines);
        ASSERT_EQ(ink.size(), got.size()) << "the drawing's words do not split as its text does";
        for (size_t w = 0; w < got.size(); ++w) {
            SCOPED_TRACE(got[w]);
            EXPECT_NEAR(ends[w][0].first, ink[w].left, 6);
            EXPECT_NEAR(ends[w][1].first, ink[w].right, 6);
            EXPECT_NEAR(ends[w][0].second, ink[w].baseline, 4);
            EXPECT_NEAR(ends[w][1].second, ink[w].baseline, 4);
        }
    }
}

}  // namespace

TEST(PageRecognition, WordsAndBoxesOverTheDrawnWords)
{
    TempDir dir;
    const std::vector<std::string> english = {
        "The quick brown fox jumps over the lazy dog near the river bank.",
        "Searchable pages keep every picture byte while words stay findable.",
        "Invoice 2026-0417 totals 1,234.56 euros, due on 30 June.",
        "Each recognised word sits where it stands in the picture.",
    };
    const std::vector<std::string> german = {
        "Die Größe der Straße überrascht die Gäste.",
        "Schöne Grüße aus Köln, süße Äpfel und Öl.",
    };
    const auto draw = [&](const std::string& name, const std::vector<std::string>& lines, const std::string& after) {
        EXPECT_TRUE(DrawTextLines(dir.File(name), lines, after));
        return dir.File(name);
    };
    const RgbImage drawing = ReadPpm(draw("english.ppm", english, ""));
    const RgbImage germanDrawing = ReadPpm(draw("german.ppm", german, ""));
    const double w = drawing.width, h = drawing.height;
    const auto same = [](double x, double y) { return Point {x, y}; };
    const std::string grey = draw("grey.jpg", english, "-type Grayscale");
    const std::string blank = dir.Write("blank.jpg", MakeJpeg({.width = 1200, .height = 800, .components = 1, .red = 255}));
    // A frame header and no scan: the engine accepts it, the decoder finds no picture in it.
    const std::string noScan = dir.Write("no-scan.jpg", std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00\xFF\xD9", 17));

    Recognise({.jobs = 2},
              {
                  {"grey", grey, 1, 0, same, &english},
                  {"RGB", draw("rgb.jpg", english, "-type TrueColor"), 1, 0, same, &english},
                  {"Adobe CMYK", draw("cmyk.jpg", english, "-colorspace CMYK"), 1, 0, same, &english},
                  // Stored a quarter turn anticlockwise; Exif orientation 6 shows it upright.
                  {"stored on its side, shown upright", draw("side.jpg", english, "-rotate -90"), 6, 0, same, &english},
                  {"no text", blank, 1, 0, same, nullptr},
                  {"no picture", noScan, 1, 0, same, nullptr, "no text recognised: the picture cannot be decoded ("},
              },
              drawing);
    Recognise({.rotatePages = true, .jobs = 2},
              {
                  {"upright stays", grey, 1, 0, same, &english},
                  {"upside down", draw("180.jpg", english, "-rotate 180"), 1, 2,
                   [&](double x, double y) { return Point {w - x, h - y}; }, &english},
                  // Scanned a quarter turn clockwise: a reader turns it on by three quarters.
                  {"on its side", draw("90.jpg", english, "-rotate 90"), 1, 3,
                   [&](double x, double y) { return Point {y, h - x}; }, &english},
                  {"no text stays unturned", blank, 1, 0, same, nullptr},
              },
              drawing);
    Recognise({.languages = "deu", .jobs = 1}, {{"German", draw("german.jpg", german, ""), 1, 0, same, &german}},
              germanDrawing);
}
