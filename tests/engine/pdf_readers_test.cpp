// SPDX-License-Identifier: GPL-2.0-or-later
// Written files as real PDF readers see them: structure check, page sizes, rendered pixels.
#include <gtest/gtest.h>

#include "MakeJpeg.h"
#include "ReaderTools.h"
#include "jpeg2pdf.h"

using namespace engine_test;

namespace {

// The value after `label` on its line of pdfinfo's report, without the padding.
std::string InfoField(const std::string& report, const std::string& label)
{
    const size_t at = report.find(label);
    if (at == std::string::npos)
        return "(missing)";
    const size_t begin = report.find_first_not_of(' ', at + label.size());
    return report.substr(begin, report.find('\n', begin) - begin);
}

// Writes the listed recipes as files and exports them; returns the output path.
std::string ExportRecipes(const TempDir& dir, const std::vector<JpegRecipe>& recipes)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < recipes.size(); ++i)
        paths.push_back(dir.Write("p" + std::to_string(i) + ".jpg", MakeJpeg(recipes[i])));
    const std::string output = dir.File("out.pdf");
    EXPECT_EQ(jpeg2pdf::ConvertJpegListToPdf(paths, output), jpeg2pdf::kExportSaved);
    return output;
}

}  // namespace

TEST(PdfReaders, StructureCheckFindsNoFault)
{
    const std::vector<std::vector<JpegRecipe>> lists = {
        {{.width = 640, .height = 480}},
        {{.width = 30, .height = 20}, {.width = 10, .height = 40, .components = 4, .progressive = true}},
        {{.width = 5, .height = 5, .restartInterval = 1}, {.width = 6, .height = 7}, {.width = 8, .height = 9}},
    };
    for (const auto& list : lists) {
        TempDir dir;
        const CommandResult check = RunCommand("qpdf --check " + Quoted(ExportRecipes(dir, list)));
        EXPECT_EQ(check.status, 0) << check.output;
        EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
        EXPECT_NE(check.output.find("No syntax or stream encoding errors found"), std::string::npos) << check.output;
    }
}

TEST(PdfReaders, PageCountAndSizesMatchTheImages)
{
    TempDir dir;
    const std::string output = ExportRecipes(
        dir, {{.width = 640, .height = 480}, {.width = 100, .height = 200, .components = 4}, {.width = 1, .height = 1}});
    const CommandResult info = RunCommand("pdfinfo -f 1 -l 3 " + Quoted(output));
    ASSERT_EQ(info.status, 0) << info.output;
    EXPECT_EQ(InfoField(info.output, "Pages:"), "3");
    EXPECT_EQ(InfoField(info.output, "PDF version:"), "1.2");
    EXPECT_EQ(InfoField(info.output, "Page    1 size:"), "640 x 480 pts");
    EXPECT_EQ(InfoField(info.output, "Page    2 size:"), "100 x 200 pts");
    EXPECT_EQ(InfoField(info.output, "Page    3 size:"), "1 x 1 pts");
}

TEST(PdfReaders, RenderedPagesShowTheImages)
{
    TempDir dir;
    const JpegRecipe gradient{.width = 96, .height = 64, .quality = 95, .gradient = true};
    const std::string photo = dir.CopyTestData("libjpeg-turbo/testorig.jpg");
    const std::string gradientPath = dir.Write("gradient.jpg", MakeJpeg(gradient));
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(jpeg2pdf::ConvertJpegListToPdf({photo, gradientPath}, output), jpeg2pdf::kExportSaved);

    // The reader resamples while drawing, so sharp photo edges move a little; a wrong, shifted or
    // inverted picture is far outside these bounds.
    struct Expectation {
        std::string source;
        double meanBelow;
        int largestBelow;
    };
    const std::vector<Expectation> pages = {{photo, 6.0, 256}, {gradientPath, 2.0, 48}};
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        const std::string prefix = dir.File("page" + std::to_string(page));
        const std::string pageArg = std::to_string(page);
        // At 72 dpi one point is one pixel, so the render lines up with the decoded image.
        const CommandResult render =
            RunCommand("pdftoppm -r 72 -f " + pageArg + " -l " + pageArg + " -singlefile " + Quoted(output) + " " + Quoted(prefix));
        ASSERT_EQ(render.status, 0) << render.output;
        const RgbImage rendered = ReadPpm(prefix + ".ppm");
        const Expectation& expected = pages[page - 1];
        const RgbImage decoded = DecodeJpegToRgb(ReadFileBytes(expected.source));
        ASSERT_EQ(rendered.width, decoded.width);
        ASSERT_EQ(rendered.height, decoded.height);
        const auto [mean, largest] = Difference(rendered, decoded);
        EXPECT_LT(mean, expected.meanBelow);
        EXPECT_LT(largest, expected.largestBelow);
    }
}

TEST(PdfReaders, CmykPageIsNotShownInverted)
{
    TempDir dir;
    // Plain cyan ink stored the Adobe way; an uninverted reading would come out near red.
    const std::string output =
        ExportRecipes(dir, {{.width = 32, .height = 32, .components = 4, .red = 0, .green = 255, .blue = 255}});
    const std::string prefix = dir.File("cmyk");
    ASSERT_EQ(RunCommand("pdftoppm -r 72 -singlefile " + Quoted(output) + " " + Quoted(prefix)).status, 0);
    const RgbImage rendered = ReadPpm(prefix + ".ppm");
    const unsigned char* centre = &rendered.pixels[(16 * rendered.width + 16) * 3];
    EXPECT_LT(centre[0], 100);  // little red
    EXPECT_GT(centre[1], 120);  // green and blue: cyan
    EXPECT_GT(centre[2], 180);
}

// An independent parser finds each page's image stream holding exactly the bytes of its file,
// with the filter, size and colour space that let readers decode it.
TEST(PdfReaders, ImageStreamsCarryTheFilesUnchanged)
{
    TempDir dir;
    const std::vector<std::string> files = {
        dir.Write("rgb.jpg", MakeJpeg({.width = 31, .height = 17, .gradient = true})),
        dir.Write("cmyk.jpg", MakeJpeg({.width = 9, .height = 40, .components = 4, .progressive = true})),
    };
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(jpeg2pdf::ConvertJpegListToPdf(files, output), jpeg2pdf::kExportSaved);

    const std::string script = dir.Write("read.py", R"(import sys, pikepdf
pdf = pikepdf.open(sys.argv[1])
for page, name in zip(pdf.pages, sys.argv[2:]):
    image = page.Resources.XObject.Im0
    same = bytes(image.read_raw_bytes()) == open(name, "rb").read()
    print(int(image.Width), int(image.Height), str(image.ColorSpace), str(image.Filter[0]), same)
)");
    const CommandResult result =
        RunCommand("/usr/bin/python3 " + Quoted(script) + " " + Quoted(output) + " " + Quoted(files[0]) + " "
                   + Quoted(files[1]));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output, "31 17 /DeviceRGB /DCTDecode True\n"
                             "9 40 /DeviceCMYK /DCTDecode True\n");
}
