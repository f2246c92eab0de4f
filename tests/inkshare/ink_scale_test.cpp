// SPDX-License-Identifier: GPL-2.0-or-later
// The ink share of a page is the same at every scale the test may decode at, and close to the
// share ImageMagick counts at full size (pixels darker than 179 of 255), on A4 pages drawn at 300 dpi.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "InkShare.h"
#include "MakeJpeg.h"
#include "MakePng.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

struct Row {
    const char* catches;
    const char* drawing;
    const char* kind;  // jpg, png or tif
    bool blank;  // at the default share
};

// The page's pixels darker than 179 of 255, in percent, as ImageMagick counts them.
double CountedPercent(const std::string& path)
{
    return std::stod(RunCommand("convert " + Quoted(path) + " -colorspace gray -threshold 70.2% -format "
                                "'%[fx:100*(1-mean)]' info:").output);
}

}  // namespace

TEST(InkScale, TheShareIsTheSameAtEveryScale)
{
    const Row rows[] = {
        {"thin strokes lost at 1/8", "-pointsize 10 -annotate +300+600 '12 March 1987'", "jpg", false},
        {"a full line counted by reduced pixels", "-pointsize 12 -annotate +200+600 "
         "'The quick brown fox jumps over the lazy dog while the archive keeps every page of it'", "jpg", false},
        {"a PNG reduced otherwise than a JPEG", "-pointsize 10 -annotate +300+600 '12 March 1987'", "png", false},
        {"a TIFF's rows reduced otherwise", "-pointsize 10 -annotate +300+600 '12 March 1987' -alpha off -depth 8 -compress lzw", "tif",
         false},
        {"a Group 4 page's white-is-zero not turned over",
         "-pointsize 10 -annotate +300+600 '12 March 1987' -monochrome -compress Group4", "tif", false},
        {"a Group 4 page of specks taken for writing", "-draw 'circle 400,600 402,602' -monochrome -compress Group4", "tif",
         true},
        {"a dark area counted by its edges", "-draw 'rectangle 300,300 700,500'", "jpg", false},
        {"specks taken for writing", "-draw 'circle 400,600 402,602' -draw 'circle 1800,2900 1803,2900'", "jpg", true},
        {"the margin's edge counted", "-draw 'rectangle 0,0 20,3507' -draw 'rectangle 0,3490 2479,3507'", "jpg", true},
    };
    TempDir dir;
    for (const Row& row : rows) {
        const std::string page = dir.File(std::string("page.") + row.kind);
        ASSERT_EQ(RunCommand("convert -size 2480x3508 -density 300 -units PixelsPerInch xc:white -font DejaVu-Sans "
                             "-fill black " + std::string(row.drawing) + " -colorspace gray -quality 85 " + Quoted(page))
                      .status, 0);
        const ink::InkReading full = ink::MeasureInk(page, 8);
        ASSERT_TRUE(full.measured) << row.catches << full.problem;
        for (int eighths : {1, 2, 4}) {
            const ink::InkReading reduced = ink::MeasureInk(page, eighths);
            ASSERT_TRUE(reduced.measured) << row.catches;
            EXPECT_NEAR(reduced.percent, full.percent, std::max(0.1 * full.percent, 0.0005))
                << row.catches << " at " << eighths << "/8";
        }
        const double reduced = ink::MeasureInk(page).percent;
        EXPECT_EQ(reduced < 0.01, row.blank) << row.catches << ": " << reduced;
        // Close to the count at full size, margins and all, where there is writing to count.
        if (!row.blank)
            EXPECT_NEAR(reduced, CountedPercent(page), 0.15 * CountedPercent(page)) << row.catches;
    }
}

TEST(InkScale, APictureThatCannotBeMeasuredIsKept)
{
    const std::string jpeg = MakeJpeg({.width = 64, .height = 64, .gradient = true});
    const std::string png = MakePng({}).file;
    // A sound header (its CRC right) that claims 1,000,000 x 1,000,000 pixels.
    std::string header = png.substr(16, 13);
    for (int at : {0, 4})
        header.replace(size_t(at), 4, "\x00\x0F\x42\x40", 4);
    const std::string wide = png.substr(0, 8) + PngChunk("IHDR", header) + png.substr(33);
    TempDir made;
    // Two pages are one entry: one cannot be left out alone.
    RunCommand("convert -size 64x64 xc:white xc:white -compress Group4 " + Quoted(made.File("two.tif")));
    const std::string twoPages = ReadFileBytes(made.File("two.tif"));
    struct Row {
        const char* catches;
        std::string bytes;
    };
    const Row rows[] = {
        {"a JPEG cut in its scan read as padding", jpeg.substr(0, jpeg.size() / 2)},
        {"a JPEG without its frame read", jpeg.substr(0, 20)},
        {"a PNG cut in its data read as blank rows", png.substr(0, png.size() - 30)},
        {"a PNG's bad header allocated whole", wide},
        {"an interlaced PNG read as plain rows", MakePng({.interlace = 1}).file},
        {"a PNG with alpha measured as if opaque", MakePng({.colourType = 6}).file},
        {"a TIFF of two pages measured as one", twoPages},
        {"a TIFF cut in its header read", twoPages.substr(0, 6)},
        {"text taken for a picture", "neither JPEG nor PNG"},
    };
    TempDir dir;
    for (const Row& row : rows) {
        const ink::InkReading reading = ink::MeasureInk(dir.Write("page", row.bytes));
        EXPECT_FALSE(reading.measured) << row.catches << ": " << reading.percent;
        EXPECT_FALSE(reading.problem.empty()) << row.catches;
    }
}
