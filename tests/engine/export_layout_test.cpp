// SPDX-License-Identifier: GPL-2.0-or-later
// The page layout through ExportJpegList, checked by real readers: where the picture lands on
// paper and what the clip hides; options with nothing to do keep the window's bytes.
#include <gtest/gtest.h>

#include "ExportDetails.h"
#include "JpegSegments.h"
#include "MakeJpeg.h"
#include "ReaderTools.h"

using namespace jpeg2pdf;
using namespace engine_test;

namespace {

// White, blue or red at (x, y) from the top left; '?' for anything else.
char Colour(const RgbImage& image, int x, int y)
{
    const unsigned char* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3];
    if (p[0] > 240 && p[1] > 240 && p[2] > 240)
        return 'w';
    if (p[2] > 190 && p[0] < 70)
        return 'b';
    if (p[0] > 190 && p[2] < 70)
        return 'r';
    return '?';
}

}  // namespace

// The left half blue, the right half red, on 100 x 100 paper with 10 points of margin.
TEST(ExportLayout, LayoutPlacesAndClipsThePictureOnPaper)
{
    TempDir dir;
    const std::string path = dir.Write(
        "halves.jpg",
        MakeJpeg({.width = 64, .height = 32, .quality = 95, .pixel = [](int x, int) {
                      return x < 32 ? std::array<uint8_t, 3> {0, 0, 255} : std::array<uint8_t, 3> {255, 0, 0};
                  }}));
    struct Probe {
        int x, y;
        char colour;
    };
    struct Row {
        const char* name;
        FitMode fit;
        double dotsPerInch;
        std::vector<Probe> probes;  // pixels from the top left of the rendered page
    };
    const std::vector<Row> rows = {
        // 80 x 40 from (10, 30).
        {"into", FitMode::Into, 72, {{5, 50, 'w'}, {20, 50, 'b'}, {80, 50, 'r'}, {50, 25, 'w'}, {50, 75, 'w'}}},
        // 160 x 80 from (-30, 10), only the area inside the margins shows.
        {"fill", FitMode::Fill, 72, {{5, 50, 'w'}, {20, 50, 'b'}, {80, 50, 'r'}, {50, 5, 'w'}, {95, 50, 'w'}}},
        // 32 x 16 points at 144 dpi, centred: from (34, 42).
        {"shrink", FitMode::Shrink, 144, {{30, 50, 'w'}, {40, 50, 'b'}, {60, 50, 'r'}, {50, 40, 'w'}, {70, 50, 'w'}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportOptions options;
        options.layout = {DensitySource::Fixed, row.dotsPerInch, 100, 100, row.fit, 10};
        const std::string pdf = Export(dir, {path}, options);
        EXPECT_EQ(StructureFaults(pdf), "");
        const RgbImage page = RenderPage(dir, pdf, 1);
        ASSERT_EQ(page.width, 100);
        ASSERT_EQ(page.height, 100);
        for (const Probe& probe : row.probes)
            EXPECT_EQ(Colour(page, probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;
    }
}

TEST(ExportLayout, PaperInPointsReachesTheReaderTurnedToThePicture)
{
    TempDir dir;
    const std::string path = dir.Write("wide.jpg", MakeJpeg({.width = 60, .height = 40}));
    ExportOptions options;
    options.layout = {DensitySource::OnePointPerPixel, 72, 595.2756, 841.8898, FitMode::Into, 14.1732};
    const std::string pdf = Export(dir, {path}, options);
    EXPECT_EQ(StructureFaults(pdf), "");
    const std::string bytes = ReadFileBytes(pdf);
    EXPECT_NE(bytes.find("/MediaBox [ 0 0 841.8898 595.2756 ]"), std::string::npos);
    // 60 x 40 into 813.5434 x 566.9292: 850.3938 x 566.9292 is too wide, so the width decides.
    EXPECT_NE(bytes.find("q\n813.5434 0 0 542.3623 14.1732 26.4567 cm\n"), std::string::npos);
    const CommandResult info = RunCommand("pdfinfo " + Quoted(pdf));
    EXPECT_NE(info.output.find("841.89 x 595.276 pts (A4)"), std::string::npos) << info.output;
}

TEST(ExportLayout, OptionsWithNothingToDoKeepTheWindowsBytes)
{
    TempDir dir;
    const std::vector<std::string> paths
        = {dir.Write("rgb.jpg", MakeJpeg({.width = 30, .height = 20})),
           dir.Write("cmyk.jpg", MakeJpeg({.width = 8, .height = 9, .components = 4}))};
    const std::string window = ReadFileBytes(Export(dir, paths, {}, "window.pdf"));
    ExportOptions gray, profiles, density;
    gray.acceptGray = true;
    profiles.embedProfiles = true;
    density.layout.density = DensitySource::FromFile;  // libjpeg states an aspect ratio only
    for (const ExportOptions* options : {&gray, &profiles, &density})
        EXPECT_EQ(ReadFileBytes(Export(dir, paths, *options)), window);
}

// The file's own density sizes the page; an Exif orientation turns the picture, densities with it.
TEST(ExportLayout, DensityFromTheFileSizesThePage)
{
    ExifFields turnedAt144By72 {.hasOrientation = true,
                                .orientation = 6,
                                .hasResolution = true,
                                .xResolution = {144, 1},
                                .yResolution = {72, 1}};
    struct Row {
        const char* name;
        std::vector<std::string> segments;
        bool autoOrient;
        const char* mediaBox;
    };
    const std::vector<Row> rows = {
        {"JFIF per inch", {JfifSegment(1, 144, 72)}, false, "/MediaBox [ 0 0 144 72 ]"},
        {"JFIF per centimetre", {JfifSegment(2, 100, 100)}, false, "/MediaBox [ 0 0 81.6378 20.4094 ]"},
        {"JFIF aspect ratio only", {JfifSegment(0, 1, 2)}, false, "/MediaBox [ 0 0 288 72 ]"},
        {"Exif, not turned", {ExifSegment(turnedAt144By72)}, false, "/MediaBox [ 0 0 144 72 ]"},
        {"Exif, turned", {ExifSegment(turnedAt144By72)}, true, "/MediaBox [ 0 0 72 144 ]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string path = dir.Write(
            "p.jpg", MakeJpeg({.width = 288, .height = 72, .leadingSegments = row.segments, .jfifHeader = false}));
        ExportOptions options;
        options.autoOrient = row.autoOrient;
        options.layout.density = DensitySource::FromFile;
        const std::string pdf = Export(dir, {path}, options);
        EXPECT_NE(ReadFileBytes(pdf).find(row.mediaBox), std::string::npos);
        EXPECT_EQ(StructureFaults(pdf), "");
    }
}
