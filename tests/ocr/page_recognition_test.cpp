// SPDX-License-Identifier: GPL-2.0-or-later
// The page text source on pages ImageMagick draws at 300 dpi: the words read back, and their boxes
// over the ink of the drawn words (found in the drawing itself), whatever way the page is stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "DecodeJpeg.h"
#include "LanguageData.h"
#include "MakeJpeg.h"
#include "RecognisedPages.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

constexpr int kLeft = 150, kFirstBaseline = 150, kLineStep = 110;

struct DrawnWord {
    std::string text;
    int left, right, baseline;  // the word's ink, in the upright drawing
};

struct Drawing {
    RgbImage picture;
    std::vector<DrawnWord> words;  // in reading order
};

// Draws `lines` in 12 pt DejaVu Sans at 300 dpi and finds each word's ink: columns with dark
// pixels in the line's band, split where the gap is wider than the gaps within a word.
Drawing Draw(const TempDir& dir, const std::vector<std::string>& lines)
{
    std::string command = "convert -size 2480x" + std::to_string(kFirstBaseline + kLineStep * int(lines.size()))
        + " xc:white -font DejaVu-Sans -density 300 -pointsize 12 -fill black";
    for (size_t i = 0; i < lines.size(); ++i)
        command += " -annotate +" + std::to_string(kLeft) + "+" + std::to_string(kFirstBaseline + kLineStep * int(i))
            + " " + Quoted(lines[i]);
    const std::string ppm = dir.File("drawing.ppm");
    EXPECT_EQ(RunCommand(command + " -depth 8 " + ppm).status, 0);
    Drawing drawing {ReadPpm(ppm), {}};
    const RgbImage& p = drawing.picture;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int baseline = kFirstBaseline + kLineStep * int(i);
        std::vector<int> inked;
        for (int x = 0; x < p.width; ++x)
            for (int y = baseline - 55; y < baseline + 20; ++y)
                if (p.pixels[size_t(y * p.width + x) * 3] < 128) {
                    inked.push_back(x);
                    break;
                }
        std::istringstream words(lines[i]);
        std::string word;
        size_t at = 0;
        while (words >> word && at < inked.size()) {
            const int left = inked[at];
            while (at + 1 < inked.size() && inked[at + 1] - inked[at] <= 11)
                ++at;
            drawing.words.push_back({word, left, inked[at] + 1, baseline});
            ++at;
        }
        EXPECT_EQ(at, inked.size()) << "more ink than words on line " << i;
    }
    return drawing;
}

// The drawing stored as a JPEG of `components`, its pixel (x, y) taken from the drawing's `from`.
std::string Store(const Drawing& d, int components, bool sideways, std::function<std::pair<int, int>(int, int)> from)
{
    const RgbImage& p = d.picture;
    return MakeJpeg({.width = sideways ? p.height : p.width,
                     .height = sideways ? p.width : p.height,
                     .components = components,
                     .quality = 92,
                     .pixel = [&](int x, int y) {
                         const auto [ux, uy] = from(x, y);
                         const unsigned char* c = &p.pixels[size_t(uy * p.width + ux) * 3];
                         return std::array<uint8_t, 3> {c[0], c[1], c[2]};
                     }});
}

// In-order matching of the recognised words against the drawn ones (longest common subsequence).
std::vector<std::pair<size_t, size_t>> Match(const std::vector<std::string>& got, const std::vector<DrawnWord>& drawn)
{
    std::vector<std::vector<int>> best(got.size() + 1, std::vector<int>(drawn.size() + 1, 0));
    for (size_t i = got.size(); i-- > 0;)
        for (size_t j = drawn.size(); j-- > 0;)
            best[i][j] = got[i] == drawn[j].text ? best[i + 1][j + 1] + 1 : std::max(best[i + 1][j], best[i][j + 1]);
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t i = 0, j = 0; i < got.size() && j < drawn.size();) {
        if (got[i] == drawn[j].text)
            pairs.emplace_back(i++, j++);
        else if (best[i + 1][j] >= best[i][j + 1])
            ++i;
        else
            ++j;
    }
    return pairs;
}

struct Page {
    const char* name;
    std::string jpeg;
    int orientation;  // as the engine asks for it
    int rotate;  // the turn expected back
    // A point of the page as the engine shows it, in the upright drawing.
    std::function<std::pair<double, double>(double, double)> upright;
    const Drawing* drawing;  // null: no words expected
    std::string warning = "";  // the start of the one warning expected
};

// Runs one source over `pages` and checks each against its drawing.
void Recognise(const ocr::OcrSettings& settings, const std::vector<Page>& pages, const TempDir& dir)
{
    std::vector<std::string> warnings(pages.size());
    ocr::RecognisedPages source(settings, ocr::LanguageDataFolder(),
                                [&](int entry, const std::string& text) { warnings[size_t(entry)] += text; });
    std::vector<jpeg2pdf::PageTextRequest> requests;
    for (size_t i = 0; i < pages.size(); ++i)
        requests.push_back({int(i), dir.Write("page" + std::to_string(i) + ".jpg", pages[i].jpeg),
                            pages[i].orientation});
    source.Begin(requests);
    for (size_t i = 0; i < pages.size(); ++i) {
        const Page& page = pages[i];
        SCOPED_TRACE(page.name);
        const jpeg2pdf::PageText text = source.Take(int(i));
        EXPECT_EQ(warnings[i].substr(0, page.warning.size()), page.warning);
        if (!page.drawing) {
            EXPECT_TRUE(text.blocks.empty());
            continue;
        }
        EXPECT_EQ(text.rotate, page.rotate);
        std::vector<std::string> got;
        std::vector<std::array<double, 4>> boxes;  // left, right, baseline at the start, at the end
        for (const jpeg2pdf::TextBlock& block : text.blocks)
            for (const jpeg2pdf::TextLine& line : block.lines) {
                const double length = std::hypot(line.x1 - line.x0, line.y1 - line.y0);
                const auto along = [&](double d) {
                    return page.upright(line.x0 + (line.x1 - line.x0) * d / length,
                                        line.y0 + (line.y1 - line.y0) * d / length);
                };
                EXPECT_NEAR(line.height, 60, 15);  // 12 pt at 300 dpi, descender to ascender
                for (const jpeg2pdf::TextWord& word : line.words) {
                    got.push_back(word.text);
                    const auto [x0, y0] = along(word.start);
                    const auto [x1, y1] = along(word.end);
                    boxes.push_back({x0, x1, y0, y1});
                }
            }
        const std::vector<DrawnWord>& drawn = page.drawing->words;
        const auto pairs = Match(got, drawn);
        EXPECT_GE(double(pairs.size()), 0.98 * double(drawn.size())) << ::testing::PrintToString(got);
        EXPECT_LE(got.size(), drawn.size() + 1);
        for (const auto& [g, d] : pairs) {
            SCOPED_TRACE(drawn[d].text);
            EXPECT_NEAR(boxes[g][0], drawn[d].left, 6);
            EXPECT_NEAR(boxes[g][1], drawn[d].right, 6);
            EXPECT_NEAR(boxes[g][2], drawn[d].baseline, 4);
            EXPECT_NEAR(boxes[g][3], drawn[d].baseline, 4);
        }
    }
}

}  // namespace

TEST(PageRecognition, WordsAndBoxesOverTheDrawnWords)
{
    TempDir dir;
    const Drawing english = Draw(dir, {
        "The quick brown fox jumps over the lazy dog near the river bank.",
        "Searchable pages keep every picture byte while words stay findable.",
        "Invoice 2026-0417 totals 1,234.56 euros, due on 30 June.",
        "Archives of scanned letters become something people can search.",
        "Each recognised word sits where it stands in the picture.",
    });
    const Drawing german = Draw(dir, {
        "Die Größe der Straße überrascht die Gäste.",
        "Schöne Grüße aus Köln, süße Äpfel und Öl.",
    });
    const int w = english.picture.width, h = english.picture.height;
    const auto same = [](double x, double y) { return std::pair {x, y}; };
    const auto halfTurned = [w, h](double x, double y) { return std::pair {w - x, h - y}; };
    const auto stored = [&](int components) {
        return Store(english, components, false, [](int x, int y) { return std::pair {x, y}; });
    };
    // Stored a quarter turn anticlockwise; Exif orientation 6 shows it upright.
    const std::string storedOnItsSide
        = Store(english, 3, true, [w](int x, int y) { return std::pair {w - 1 - y, x}; });
    const std::string upsideDown = Store(english, 1, false, [w, h](int x, int y) { return std::pair {w - 1 - x, h - 1 - y}; });
    // Scanned turned a quarter clockwise: a reader turns it on by three quarters.
    const std::string sideways = Store(english, 1, true, [h](int x, int y) { return std::pair {y, h - 1 - x}; });
    const std::string blank = MakeJpeg({.width = 1200, .height = 800, .components = 1, .red = 255});
    // A frame header and no scan: the engine accepts it, the decoder finds no picture in it.
    const std::string noScan = std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00\xFF\xD9", 17);

    Recognise({.jobs = 2},
              {
                  {"grey", stored(1), 1, 0, same, &english},
                  {"RGB", stored(3), 1, 0, same, &english},
                  {"Adobe CMYK", stored(4), 1, 0, same, &english},
                  {"stored on its side, shown upright", storedOnItsSide, 6, 0, same, &english},
                  {"no text", blank, 1, 0, same, nullptr},
                  {"no picture", noScan, 1, 0, same, nullptr, "no text recognised: the picture cannot be decoded ("},
              },
              dir);
    Recognise({.rotatePages = true, .jobs = 2},
              {
                  {"upright stays", stored(1), 1, 0, same, &english},
                  {"upside down", upsideDown, 1, 2, halfTurned, &english},
                  {"on its side", sideways, 1, 3, [h](double x, double y) { return std::pair {y, h - x}; }, &english},
              },
              dir);
    Recognise({.languages = "deu", .jobs = 1}, {{"German", Store(german, 1, false, [](int x, int y) {
                                                    return std::pair {x, y};
                                                }), 1, 0, same, &german}},
              dir);
}
