// SPDX-License-Identifier: GPL-2.0-or-later
// The pages a list becomes: a one-sided feeder's stack collated (--duplex), blank backs left out
// and written pages kept (--drop-blank), on A4 pages drawn at 300 dpi as a scanner gives them.
// Each page is told by its image (PageImages.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MakeJpeg.h"
#include "PageImages.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

// For each page of `pdf`, the index of the file in `sources` whose bytes its image is (-1: none).
std::vector<int> PagesAsSources(const std::string& pdf, const std::vector<std::string>& sources)
{
    std::vector<int> pages;
    for (const std::string& image : PageImages(pdf)) {
        pages.push_back(-1);
        for (size_t i = 0; i < sources.size() && pages.back() < 0; ++i)
            if (ReadFileBytes(sources[i]) == image)
                pages.back() = static_cast<int>(i);
    }
    return pages;
}

// An A4 page at 300 dpi drawn by ImageMagick, saved as a scanner's JPEG.
std::string Draw(const TempDir& dir, const std::string& name, const std::string& drawing)
{
    const std::string path = dir.File(name);
    // The density first: it turns the font's points into pixels.
    const CommandResult made = RunCommand("convert -size 2480x3508 -density 300 -units PixelsPerInch " + drawing
                                          + " -colorspace gray -quality 85 " + Quoted(path));
    EXPECT_EQ(made.status, 0) << made.output;
    return path;
}

const std::string kText = "-font DejaVu-Sans -fill black ";

}  // namespace

TEST(PageChoice, DuplexPutsEachBackAfterItsFront)
{
    TempDir dir;
    std::vector<std::string> scans;
    for (int i = 0; i < 6; ++i)
        scans.push_back(dir.Write("scan" + std::to_string(i) + ".jpg", MakeJpeg({.red = uint8_t(40 * i), .green = 9})));
    struct Row {
        const char* catches;
        int count;
        std::vector<int> pages;
    };
    const Row rows[] = {
        {"one sheet turned over", 2, {0, 1}},
        {"backs taken in the order given, not last first", 4, {0, 3, 1, 2}},
        {"a back paired with the wrong front", 6, {0, 5, 1, 4, 2, 3}},
    };
    for (const Row& row : rows) {
        const std::vector<std::string> given(scans.begin(), scans.begin() + row.count);
        std::vector<std::string> args {"-o", dir.File("out.pdf"), "-f", "--duplex"};
        args.insert(args.end(), given.begin(), given.end());
        const ProgramRun run = RunExportProgram(args);
        EXPECT_EQ(run.status, 0) << row.catches << run.err;
        EXPECT_EQ(PagesAsSources(dir.File("out.pdf"), scans), row.pages) << row.catches;
    }
}

TEST(PageChoice, BlankPagesAreLeftOutAndWrittenOnesKept)
{
    TempDir dir;
    const std::string letter = Draw(dir, "letter.jpg", "xc:white " + kText + "-pointsize 12 -annotate +250+400 "
                                        "'Dear Sir, the archive holds every letter of the firm from 1921 on.' "
                                        "-annotate +250+480 'Yours faithfully, the keeper of the records'");
    // One short line of 10-point text: a date alone on a page.
    const std::string line = Draw(dir, "line.jpg", "xc:white " + kText + "-pointsize 10 -annotate +300+600 '12 March 1987'");
    const std::string specks = Draw(dir, "specks.jpg", "xc:white -fill black -draw 'circle 400,600 402,602' "
                                        "-draw 'circle 1800,2900 1803,2900' -draw 'circle 1200,1500 1201,1501' "
                                        "-draw 'point 900,3000' -draw 'circle 600,3200 602,3201'");
    // Grey paper, the front's text shining through mirrored and blurred, dust and scanner noise.
    const std::string back = Draw(dir, "back.jpg", "xc:'gray(96%)' -font DejaVu-Sans -pointsize 11 -fill 'gray(86%)' "
                                    "-annotate +300+900 'Show-through of the front page, mirrored and faint' -flop "
                                    "-blur 0x2 -fill black -draw 'circle 400,600 402,602' -draw 'point 1800,2900' "
                                    "-attenuate 0.1 +noise Gaussian");
    const std::string linePng = dir.File("line.png"), specksPng = dir.File("specks.png");
    ASSERT_EQ(RunCommand("convert " + Quoted(line) + " " + Quoted(linePng) + " && convert " + Quoted(specks) + " "
                         + Quoted(specksPng)).status, 0);
    const std::vector<std::string> sources {letter, line, specks, back};
    struct Row {
        const char* catches;
        std::vector<std::string> options;
        std::vector<std::string> given;
        int status;
        std::vector<int> pages;  // indices into sources; empty: no document
        std::vector<std::string> named;  // the pages said to be left out, in order
        std::string outline = "";  // mutool's outline, with --bookmarks
    };
    const Row rows[] = {
        {"a back with specks kept, or a date lost", {"--drop-blank"}, {letter, specks, line, back}, 0, {0, 1},
         {specks, back}},
        {"the share given not taken", {"--drop-blank=0.0005"}, {specks, line}, 0, {2, 1}, {}},
        {"a share above the line's taken as a default", {"--drop-blank=0.05"}, {line, letter}, 0, {0}, {line}},
        // Fronts letter, line; backs (last first) letter, specks: dropped before collating, three are
        // left, an odd count.
        {"blank pages dropped before the stack is collated", {"--duplex", "--drop-blank"}, {letter, line, letter, specks}, 0,
         {0, 1, 0}, {specks}},
        // Three sheets, the first two backs blank: dropped first, the rest would pair up wrongly.
        {"the kept pages collated after dropping", {"--drop-blank", "--duplex"},
         {letter, line, letter, line, specks, back}, 0, {0, 1, 0, 1}, {back, specks}},
        {"bookmarks left on pages that are gone", {"--drop-blank", "--bookmarks"}, {specks, letter, back, line}, 0, {0, 1},
         {specks, back}, "|\t\"letter.jpg\"\t#page=1&view=Fit\n|\t\"line.jpg\"\t#page=2&view=Fit\n"},
        {"a document of blank pages written", {"--drop-blank"}, {specks, back}, 1, {}, {specks, back}},
        {"PNG pages not measured", {"--drop-blank"}, {specksPng, linePng}, 0, {-1}, {specksPng}},
    };
    for (const Row& row : rows) {
        const std::string out = dir.File("out.pdf");
        unlink(out.c_str());
        std::vector<std::string> args {"-o", out};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.insert(args.end(), row.given.begin(), row.given.end());
        const ProgramRun run = RunExportProgram(args);
        EXPECT_EQ(run.status, row.status) << row.catches << run.err;
        if (row.pages.empty())
            EXPECT_NE(access(out.c_str(), F_OK), 0) << row.catches;
        else
            EXPECT_EQ(PagesAsSources(out, sources), row.pages) << row.catches;
        std::string named;
        for (const std::string& page : row.named)
            named += "leafbind-export: " + page + ": blank page left out (ink 0.0";
        std::string said;
        for (size_t at = 0; (at = run.err.find("leafbind-export: ", at)) != std::string::npos; at += 1)
            if (const size_t ink = run.err.find("(ink 0.0", at); ink != std::string::npos
                && run.err.find('\n', at) > ink)
                said += run.err.substr(at, ink + 8 - at);
        EXPECT_EQ(said, named) << row.catches << run.err;
        if (!row.outline.empty())
            EXPECT_EQ(RunCommand("mutool show " + Quoted(out) + " outline").output, row.outline) << row.catches;
    }
}

TEST(PageChoice, TheTextLayerFollowsTheKeptPages)
{
    TempDir dir;
    const std::string specks = Draw(dir, "specks.jpg", "xc:white -fill black -draw 'circle 400,600 402,602'");
    const std::string line = Draw(dir, "line.jpg", "xc:white " + kText + "-pointsize 14 -annotate +300+600 'Archive 1987'");
    const std::string out = dir.File("out.pdf");
    const ProgramRun run = RunExportProgram({"-o", out, "--ocr", "--drop-blank", specks, line});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(RunCommand("pdftotext -f 1 -l 1 " + Quoted(out) + " -").output.find("1987"), std::string::npos);
}
