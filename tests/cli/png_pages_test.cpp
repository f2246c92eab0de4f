// SPDX-License-Identifier: GPL-2.0-or-later
// PNG files through the real leafbind-export, read back with qpdf, MuPDF, pdfinfo and ImageMagick.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <regex>

#include "IccProfiles.h"
#include "MakePng.h"
#include "PdfAChecks.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

// The largest difference of one sample between the file as ImageMagick decodes it and the page
// as MuPDF renders it at 72 dpi (one pixel per point), both RGB at 8 bits; 256 when the sizes differ.
int RenderDifference(const TempDir& dir, const std::string& picture, const std::string& pdf)
{
    const std::string render = dir.File("render.png");
    EXPECT_EQ(RunCommand("mutool draw -q -r 72 -c rgb -o " + Quoted(render) + " " + Quoted(pdf)).status, 0);
    const std::string a = RunCommand("convert " + Quoted(picture) + " -depth 8 rgb:-").output;
    const std::string b = RunCommand("convert " + Quoted(render) + " -depth 8 rgb:-").output;
    int most = a.size() == b.size() && !a.empty() ? 0 : 256;
    for (size_t i = 0; i < a.size() && most < 256; ++i)
        most = std::max(most, std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i]))));
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
             EXPECT_LE(RenderDifference(dir, source, out), 0);
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
