// SPDX-License-Identifier: GPL-2.0-or-later
// PNG files through the real leafbind-export, read back with qpdf, MuPDF, pdfinfo and ImageMagick.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <regex>
#include <algorithm>

#include "IccProfiles.h"
#include "MakePng.h"
#include "PdfAChecks.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

size_t ReadWidth(const std::string& picture)
{
    return std::stoul("0" + RunCommand("identify -format %w " + Quoted(picture)).output);
}

// The largest difference of one sample between the file's pixels composited on white (as
// ImageMagick decodes them) and the page as drawn by MuPDF at 72 dpi (one pixel per point) and by
// poppler at 288 dpi (the centre of each pixel's 4 x 4 block), RGB at 8 bits; 256 when the sizes differ.
// Poppler converts colours through an embedded profile: `poppler` false leaves it out.
int RenderDifference(const TempDir& dir, const std::string& picture, const std::string& pdf, bool withPoppler = true)
{
    const std::string mupdf = dir.File("render.png"), poppler = dir.File("poppler");
    EXPECT_EQ(RunCommand("mutool draw -q -r 72 -c rgb -o " + Quoted(mupdf) + " " + Quoted(pdf)).status, 0);
    EXPECT_EQ(RunCommand("pdftoppm -r 288 -singlefile -png " + Quoted(pdf) + " " + Quoted(poppler)).status, 0);
    const std::string truth
        = RunCommand("convert " + Quoted(picture) + " -background white -alpha remove -alpha off -depth 8 rgb:-").output;
    const std::string a = RunCommand("convert " + Quoted(mupdf) + " -depth 8 rgb:-").output;
    const std::string b = RunCommand("convert " + Quoted(poppler + ".png") + " -depth 8 rgb:-").output;
    int most = a.size() == truth.size() && b.size() == 16 * truth.size() && !a.empty() ? 0 : 256;
    const size_t width = ReadWidth(picture);
    for (size_t i = 0; i < truth.size() && most < 256; ++i) {
        const size_t pixel = i / 3, x = pixel % width, y = pixel / width;
        const size_t block = ((4 * y + 2) * 4 * width + 4 * x + 2) * 3 + i % 3;
        most = std::max({most, std::abs(int(uint8_t(truth[i])) - int(uint8_t(a[i]))),
                         withPoppler ? std::abs(int(uint8_t(truth[i])) - int(uint8_t(b[block]))) : 0});
    }
    return most;
}

std::string PageSize(const std::string& pdf)
{
    std::smatch m;
    const std::string info = RunCommand("pdfinfo " + Quoted(pdf)).output;
    return std::regex_search(info, m, std::regex("Page size: +([^ ]+ x [^ ]+) pts")) ? m[1].str() : info;
}

}  // namespace

// Every depth of every colour type without alpha: the stream is the IDAT data byte for byte (rows
// filtered with all five filters, the data in three chunks), and the page shows the file's pixels.
// 16-bit samples stay 16-bit (PDF 1.5); MuPDF rounds them to 8 bits its own way, within 1.
TEST(PngPages, EachDepthAndColourTypeCopiedAndShown)
{
    TempDir dir;
    struct Case { int colourType, depth; const char* header; };
    const Case cases[] = {
        {0, 1, "%PDF-1.2"}, {0, 2, "%PDF-1.2"}, {0, 4, "%PDF-1.2"}, {0, 8, "%PDF-1.2"}, {0, 16, "%PDF-1.5"},
        {3, 1, "%PDF-1.2"}, {3, 2, "%PDF-1.2"}, {3, 4, "%PDF-1.2"}, {3, 8, "%PDF-1.2"},
        {2, 8, "%PDF-1.2"}, {2, 16, "%PDF-1.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("colour type " + std::to_string(c.colourType) + ", depth " + std::to_string(c.depth));
        const MadePng png = MakePng({.depth = c.depth, .colourType = c.colourType});
        const std::string source = dir.Write("page.png", png.file), out = dir.File("out.pdf");
        ASSERT_EQ(RunExportProgram({"-f", "-o", out, source}).status, 0);
        EXPECT_EQ(ReadFileBytes(out).substr(0, 8), c.header);
        // The plain layout of one page: its image is object 4.
        EXPECT_EQ(RunCommand("qpdf --show-object=4 --raw-stream-data " + Quoted(out)).output, png.data);
        EXPECT_EQ(RunCommand("qpdf --check " + Quoted(out)).status, 0);
        EXPECT_LE(RenderDifference(dir, source, out), c.depth == 16 ? 1 : 0);
    }
}

// Transparency and interlacing: a colour key readers honour stays a /Mask over the copied data;
// alpha channels, partly transparent palettes, keys readers ignore (16 bits, palette ranges
// other than [0 0] below 8 bits, ranges with gaps) and interlaced rows are decoded into a new
// Flate stream with a soft mask. Both readers draw each on white as ImageMagick composites the file.
TEST(PngPages, TransparencyAndInterlacing)
{
    TempDir dir;
    const auto trns = [](const std::string& bytes) { return PngChunk("tRNS", bytes); };
    const std::string rgbKey("\0\x07\0\x0C\0\x11", 6);  // the pixel at (1, 0)
    struct Case { const char* name; PngRecipe recipe; const char* header; const char* mask; int within; };
    const Case cases[] = {
        {"grey and alpha, 8 bits", {.colourType = 4}, "%PDF-1.4", "/SMask 7 0 R", 1},
        {"grey and alpha, 16 bits", {.depth = 16, .colourType = 4}, "%PDF-1.5", "/SMask 7 0 R", 2},
        {"RGB and alpha, 8 bits", {.colourType = 6}, "%PDF-1.4", "/SMask 7 0 R", 1},
        {"RGB and alpha, 16 bits", {.depth = 16, .colourType = 6}, "%PDF-1.5", "/SMask 7 0 R", 2},
        {"interlaced grey, 2 bits", {.depth = 2, .colourType = 0, .interlace = 1}, "%PDF-1.2", "", 0},
        {"interlaced RGB, 16 bits", {.depth = 16, .colourType = 2, .interlace = 1}, "%PDF-1.5", "", 1},
        {"interlaced palette, 4 bits", {.depth = 4, .colourType = 3, .interlace = 1}, "%PDF-1.2", "", 0},
        {"interlaced RGB and alpha", {.colourType = 6, .interlace = 1}, "%PDF-1.4", "/SMask 7 0 R", 1},
        {"grey key, 8 bits: copied", {.colourType = 0, .afterPalette = trns(std::string("\0\x14", 2))}, "%PDF-1.3",
         "/Mask [ 20 20 ]", 0},
        {"grey key, 2 bits: copied", {.depth = 2, .colourType = 0, .afterPalette = trns(std::string("\0\x02", 2))},
         "%PDF-1.3", "/Mask [ 2 2 ]", 0},
        {"RGB key: copied", {.colourType = 2, .afterPalette = trns(rgbKey)}, "%PDF-1.3", "/Mask [ 7 7 12 12 17 17 ]", 0},
        {"palette range [0 0]: copied", {.colourType = 3, .afterPalette = trns(std::string(1, '\0'))}, "%PDF-1.3",
         "/Mask [ 0 0 ]", 0},
        {"palette range [3 6]: copied", {.colourType = 3, .afterPalette = trns(std::string("\xFF\xFF\xFF\0\0\0\0", 7))},
         "%PDF-1.3", "/Mask [ 3 6 ]", 0},
        {"palette range [0 0] at 4 bits: copied", {.depth = 4, .colourType = 3, .afterPalette = trns(std::string(1, '\0'))},
         "%PDF-1.3", "/Mask [ 0 0 ]", 0},
        {"palette range [2 3] at 4 bits: decoded", {.depth = 4, .colourType = 3, .afterPalette = trns(std::string("\xFF\xFF\0\0", 4))},
         "%PDF-1.4", "/SMask 7 0 R", 0},
        {"palette entries 1 and 3 transparent: decoded", {.colourType = 3, .afterPalette = trns(std::string("\xFF\0\xFF\0", 4))},
         "%PDF-1.4", "/SMask 7 0 R", 0},
        {"partly transparent palette", {.depth = 2, .colourType = 3, .afterPalette = trns(std::string("\x40\xFF\x00\xC0", 4))},
         "%PDF-1.4", "/SMask 7 0 R", 1},
        {"16-bit grey key: decoded", {.depth = 16, .colourType = 0, .afterPalette = trns(std::string("\x01\x4B", 2))},
         "%PDF-1.5", "/SMask 7 0 R", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MadePng png = MakePng(c.recipe);
        const std::string source = dir.Write("page.png", png.file), out = dir.File("out.pdf");
        ASSERT_EQ(RunExportProgram({"-f", "-o", out, source}).status, 0);
        EXPECT_EQ(ReadFileBytes(out).substr(0, 8), c.header);
        EXPECT_EQ(RunCommand("qpdf --check " + Quoted(out)).status, 0);
        const std::string image = RunCommand("qpdf --show-object=4 " + Quoted(out)).output;
        const bool copied = std::string(c.mask).find("/Mask") == 0;
        if (*c.mask)
            EXPECT_NE(image.find(c.mask), std::string::npos) << image;
        else
            EXPECT_EQ(image.find("Mask"), std::string::npos) << image;
        const std::string stream = RunCommand("qpdf --show-object=4 --raw-stream-data " + Quoted(out)).output;
        if (copied)
            EXPECT_EQ(stream, png.data);
        else
            EXPECT_NE(stream, png.data);
        EXPECT_LE(RenderDifference(dir, source, out), c.within);
    }
}

// The page options on PNG pages.
TEST(PngPages, OptionsApply)
{
    TempDir dir;
    const std::string out = dir.File("out.pdf");
    const std::string icc = IccpChunk(AdobeRgbLikeProfile(2.1));
    struct Case {
        const char* name; PngRecipe recipe; std::vector<std::string> options; int status;
        std::function<void(const std::string& source, const std::string& err)> check;
    };
    const Case cases[] = {
        {"--icc: a palette over the file's own profile", {.depth = 4, .colourType = 3, .beforeData = icc}, {"--icc"}, 0,
         [&](const std::string& source, const std::string&) {
             const std::string image = RunCommand("qpdf --show-object=4 " + Quoted(out)).output;
             EXPECT_NE(image.find("/ColorSpace [ /Indexed [ /ICCBased 6 0 R ] 15 <"), std::string::npos) << image;
             EXPECT_NE(RunCommand("qpdf --show-object=6 " + Quoted(out)).output.find("/N 3"), std::string::npos);
             EXPECT_LE(RenderDifference(dir, source, out, false), 0);
         }},
        {"without --icc, the device's RGB", {.depth = 4, .colourType = 3, .beforeData = icc}, {}, 0,
         [&](const std::string&, const std::string&) {
             EXPECT_NE(RunCommand("qpdf --show-object=4 " + Quoted(out)).output.find("[ /Indexed /DeviceRGB 15 <"),
                       std::string::npos);
         }},
        {"--dpi auto: pHYs per metre", {.width = 370, .height = 230, .beforeData = PhysChunk(7874, 3937, 1)},
         {"--dpi", "auto"}, 0,
         [&](const std::string&, const std::string&) { EXPECT_EQ(PageSize(out), "133.2 x 165.6"); }},
        {"--dpi auto: pHYs of unit 0 gives an aspect only, 72 dpi", {.beforeData = PhysChunk(7874, 3937, 0)},
         {"--dpi", "auto"}, 0, [&](const std::string&, const std::string&) { EXPECT_EQ(PageSize(out), "37 x 23"); }},
        {"--page-size with --fit fill", {.width = 40, .height = 20}, {"--page-size", "100x100", "--fit", "fill"}, 0,
         [&](const std::string&, const std::string&) { EXPECT_EQ(PageSize(out), "100 x 100"); }},
        {"--strip-metadata: text chunks never copied, the data as it is",
         {.beforeData = PngChunk("tEXt", std::string("Comment\0secret", 14))}, {"--strip-metadata"}, 0,
         [&](const std::string& source, const std::string&) {
             EXPECT_EQ(RunCommand("qpdf --check " + Quoted(out)).status, 0);
             EXPECT_EQ(ReadFileBytes(out).find("secret"), std::string::npos);
             EXPECT_LE(RenderDifference(dir, source, out), 0);
         }},
        {"--pdfa 1b refuses 16-bit samples", {.depth = 16, .colourType = 0}, {"--pdfa", "1b"}, 1,
         [&](const std::string& source, const std::string& err) {
             EXPECT_EQ(err, "leafbind-export: " + source + ": 16-bit samples; PDF/A-1b cannot hold them (--pdfa 2b can)\n");
         }},
        {"--pdfa 2b takes them", {.depth = 16, .colourType = 2}, {"--pdfa", "2b"}, 0,
         [&](const std::string&, const std::string&) {
             const PdfAFacts facts = ReadPdfAFacts(out);
             EXPECT_EQ(facts.at("header"), std::vector<std::string> {"%PDF-1.7"});
             EXPECT_EQ(facts.at("part"), std::vector<std::string> {"2"});
         }},
        {"--pdfa 1b, a palette picture valid", {.depth = 8, .colourType = 3}, {"--pdfa", "1b"}, 0,
         [&](const std::string&, const std::string&) {
             const ValidatorVerdict verdict = ValidatePdfA1b(out);
             EXPECT_TRUE(verdict.valid) << verdict.report;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = dir.Write("page.png", MakePng(c.recipe).file);
        std::vector<std::string> args = {"-f", "-q", "-o", out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(source);
        const ProgramRun run = RunExportProgram(args);
        ASSERT_EQ(run.status, c.status) << run.err;
        c.check(source, run.err);
    }
}
