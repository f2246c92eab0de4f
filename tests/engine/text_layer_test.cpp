// SPDX-License-Identifier: GPL-2.0-or-later
// The invisible text layer as real readers see it: the words poppler and MuPDF extract, where
// poppler finds each word on the page whatever paper, margin, fit and turning did, and pages that
// render exactly as without text. The words come from a fixed source, the seam a recogniser fills.
#include <gtest/gtest.h>

#include <sstream>

#include "ExportDetails.h"
#include "FixedPageText.h"
#include "JpegSegments.h"
#include "MakeJpeg.h"
#include "ReaderTools.h"

using namespace jpeg2pdf;
using namespace engine_test;

namespace {

// A reader's text with its line ends kept, blank lines, trailing blanks and form feeds dropped.
std::string Lines(const std::string& text)
{
    std::istringstream in(text);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        line.erase(line.find_last_not_of(" \f\r") + 1);
        line.erase(0, line.find_first_not_of('\f'));
        if (!line.empty())
            kept += line + "\n";
    }
    return kept;
}

std::string PageField(const std::string& report, const std::string& label)
{
    const size_t at = report.find(label);
    if (at == std::string::npos)
        return "(missing)";
    const size_t begin = report.find_first_not_of(' ', at + label.size());
    return report.substr(begin, report.find('\n', begin) - begin);
}

}  // namespace

// One document, a page per row: each reader gets the words apart, the lines in order and the
// columns one after the other, and copies every character as it was given.
TEST(TextLayer, ReadersExtractWordsLinesAndColumnsInOrder)
{
    struct Row {
        const char* name;
        PageText text;
        std::string expected;  // by both readers, as Lines leaves it
    };
    const std::vector<Row> rows = {
        {"two words", PageOf({{LevelLine(10, 100, 20, {{"two", 10, 55}, {"words", 61, 140}})}}), "two words\n"},
        {"lines in order",
         PageOf({{LevelLine(10, 40, 20, {{"first", 10, 80}, {"line", 86, 140}}),
                LevelLine(10, 80, 20, {{"second", 10, 100}}),
                LevelLine(10, 120, 20, {{"third", 10, 80}, {"and", 86, 130}, {"last", 136, 190}})}}),
         "first line\nsecond\nthird and last\n"},
        {"two columns",
         PageOf({{LevelLine(10, 40, 16, {{"left", 10, 50}, {"top", 55, 90}}), LevelLine(10, 60, 16, {{"left", 10, 50}, {"end", 55, 90}})},
               {LevelLine(230, 40, 16, {{"right", 230, 280}, {"top", 285, 320}}),
                LevelLine(230, 60, 16, {{"right", 230, 280}, {"end", 285, 320}})}}),
         "left top\nleft end\nright top\nright end\n"},
        {"any script",
         PageOf({{LevelLine(10, 60, 24, {{"Größe", 10, 90}, {"naïve", 97, 170}}),
                LevelLine(10, 120, 24, {{"Ελλάδα", 10, 110}, {"\xF0\x9D\x84\x9E", 117, 137}, {"€5", 144, 180}})}}),
         "Größe naïve\nΕλλάδα \xF0\x9D\x84\x9E €5\n"},
        {"turned for readers", PageOf({{LevelLine(10, 100, 20, {{"turned", 10, 90}, {"page", 96, 150}})}}, 1),
         "turned page\n"},
        {"no words", PageOf({}), ""},
    };
    TempDir dir;
    const std::string picture = dir.Write("white.jpg", MakeJpeg({.width = 400, .height = 200, .red = 255, .green = 255, .blue = 255}));
    std::vector<PageText> pages;
    for (const Row& row : rows)
        pages.push_back(row.text);
    FixedPageText source(pages);
    ExportOptions options;
    options.text = &source;
    const std::vector<std::string> paths(rows.size(), picture);
    const std::string pdf = Export(dir, paths, options);
    EXPECT_EQ(source.taken, std::vector<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(StructureFaults(pdf), "");
    FixedPageText again(pages);
    options.text = &again;
    EXPECT_EQ(ReadFileBytes(Export(dir, paths, options, "again.pdf")), ReadFileBytes(pdf));

    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        const std::string page = std::to_string(i + 1);
        const CommandResult poppler = RunCommand("pdftotext -f " + page + " -l " + page + " " + Quoted(pdf) + " -");
        EXPECT_EQ(Lines(poppler.output), rows[i].expected);
        const CommandResult mupdf = RunCommand("{ mutool draw -q -F txt -o - " + Quoted(pdf) + " " + page + " 2>/dev/null; }");
        EXPECT_EQ(Lines(mupdf.output), rows[i].expected);
        const CommandResult info = RunCommand("pdfinfo -f " + page + " -l " + page + " " + Quoted(pdf));
        EXPECT_EQ(PageField(info.output, "Page " + std::string(4 - page.size(), ' ') + page + " rot:"),
                  std::to_string(90 * rows[i].text.rotate));
    }
}

// Words land where they stand in the picture, as poppler boxes them; the page looks as it does
// without them.
TEST(TextLayer, WordsMoveWithThePicture)
{
    struct Box {
        double xMin, yMin, xMax, yMax;  // points from the page's top left
    };
    struct Row {
        const char* name;
        std::string picture;
        bool autoOrient;
        PageLayout layout;
        std::vector<Box> boxes;  // of "two" and "words", where shown
    };
    // Shown 400 x 200: "two" from x 10 to 60, "words" from 80 to 170, on a baseline 100 pixels
    // down; 20 pixels high, so 16 above the baseline and 4 below.
    const std::string wide = MakeJpeg({.width = 400, .height = 200});
    // Stored 200 x 400, turned a quarter clockwise to be shown 400 x 200.
    ExifFields quarterTurn;
    quarterTurn.hasOrientation = true;
    quarterTurn.orientation = 6;
    const std::string turned = MakeJpeg({.width = 200, .height = 400, .leadingSegments = {ExifSegment(quarterTurn)}});
    const PageLayout letter {DensitySource::OnePointPerPixel, 72, 612, 792, FitMode::Into, 36};
    const PageLayout filled {DensitySource::Fixed, 144, 100, 100, FitMode::Fill, 10};
    const std::vector<Row> rows = {
        {"one point per pixel", wide, false, {}, {{10, 84, 60, 104}, {80, 84, 170, 104}}},
        // Turned to 792 x 612; 400 x 200 at 1.8 fill 720 x 360 from (36, 126).
        {"letter with margin", wide, false, letter, {{54, 277.2, 144, 313.2}, {180, 277.2, 342, 313.2}}},
        {"turned by its orientation", turned, true, {}, {{10, 84, 60, 104}, {80, 84, 170, 104}}},
        // 200 x 100 points at 144 dpi cover 80 x 80 from (10, 10): 160 x 80 from (-30, 10).
        // 200 x 100 points at 144 dpi cover 80 x 80 from (10, 10): 160 x 80 from (-30, 10), so
        // "two" (from -26 to -6) lies outside the clip and is hidden as the picture is.
        {"filled and clipped", wide, false, filled, {{2, 43.6, 38, 51.6}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string path = dir.Write("p.jpg", row.picture);
        FixedPageText source({PageOf({{LevelLine(10, 100, 20, {{"two", 10, 60}, {"words", 80, 170}})}})});
        ExportOptions options;
        options.autoOrient = row.autoOrient;
        options.layout = row.layout;
        const std::string plain = Export(dir, {path}, options, "plain.pdf");
        options.text = &source;
        const std::string pdf = Export(dir, {path}, options);
        ASSERT_EQ(source.requests.size(), 1u);
        EXPECT_EQ(source.requests[0].path, path);
        EXPECT_EQ(source.requests[0].orientation, row.autoOrient ? 6 : 1);
        EXPECT_EQ(StructureFaults(pdf), "");

        const CommandResult bbox = RunCommand("pdftotext -bbox " + Quoted(pdf) + " -");
        std::vector<Box> found;
        for (size_t at = 0; (at = bbox.output.find("<word xMin=", at)) != std::string::npos; ++at) {
            Box box {};
            sscanf(bbox.output.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &box.xMin,
                   &box.yMin, &box.xMax, &box.yMax);
            found.push_back(box);
        }
        ASSERT_EQ(found.size(), row.boxes.size()) << bbox.output;
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_NEAR(found[i].xMin, row.boxes[i].xMin, 0.05) << i;
            EXPECT_NEAR(found[i].yMin, row.boxes[i].yMin, 0.05) << i;
            EXPECT_NEAR(found[i].xMax, row.boxes[i].xMax, 0.05) << i;
            EXPECT_NEAR(found[i].yMax, row.boxes[i].yMax, 0.05) << i;
        }
        const RgbImage withText = RenderPage(dir, pdf, 1), without = RenderPage(dir, plain, 1);
        EXPECT_GT(without.pixels.size(), 0u);
        EXPECT_TRUE(withText.pixels == without.pixels);
    }
}
