// SPDX-License-Identifier: GPL-2.0-or-later
// What only options add goes through the plan's hooks: extra objects after the window's, catalog
// and trailer entries, the header version, image data with an indirect length, an end-of-line
// before endstream. Real readers must find the result sound.
#include <gtest/gtest.h>

#include "DocumentWriter.h"
#include "MakeJpeg.h"
#include "PagePlanner.h"
#include "ReaderTools.h"

using namespace jpeg2pdf;
using namespace engine_test;

namespace {

// Without the 18-byte JFIF APP0 segment libjpeg writes right after SOI for RGB (not for CMYK).
std::string WithoutJfif(const std::string& jpeg)
{
    if (jpeg.compare(2, 4, std::string("\xFF\xE0\x00\x10", 4)) != 0)
        return jpeg;
    return jpeg.substr(0, 2) + jpeg.substr(2 + 18);
}

}  // namespace

TEST(PlanHooks, ExtrasLandAfterTheWindowsObjectsAndReadersAccept)
{
    TempDir dir;
    const std::vector<std::string> jpegs
        = {MakeJpeg({.width = 20, .height = 10}), MakeJpeg({.width = 8, .height = 30, .components = 4})};
    const std::vector<std::string> paths = {dir.Write("a.jpg", jpegs[0]), dir.Write("b.jpg", jpegs[1])};
    ASSERT_NE(WithoutJfif(jpegs[0]), jpegs[0]);

    DocumentPlan plan = PlanDocument(WindowPages({{{false, 20, 10}, 1}, {{true, 8, 30}, 1}}), PageLayout {});
    const int64_t info = plan.objects.Allocate();
    EXPECT_EQ(info, 9);  // after 2 pages, 2 images and 2 contents
    plan.extras.objects.push_back([info](OutputFile& out, ObjectOffsets& offsets, const DocumentExtras&) {
        return BeginObject(out, offsets, info) && WriteText(out, "<< /Title (Hooks) >>\nendobj\n");
    });
    plan.extras.catalogEntries.push_back("/PageMode /UseOutlines");
    plan.extras.trailerEntries.push_back("/Info 9 0 R");
    plan.extras.RequireVersion(4);
    plan.extras.RequireVersion(3);
    plan.extras.afterHeader = "%\xE2\xE3\xCF\xD3\n";
    plan.extras.eolBeforeEndstream = true;
    UseImageData(plan, [](OutputFile& out, const InputFile& jpeg, const PagePlan&) {
        std::string bytes(static_cast<size_t>(jpeg.Size()), '\0');
        return jpeg.ReadAt(0, bytes.data(), bytes.size()) == jpeg.Size() && out.Write(WithoutJfif(bytes));
    });
    EXPECT_EQ(plan.pages[0].lengthObject, 10);
    EXPECT_EQ(plan.pages[1].lengthObject, 11);

    const std::string pdf = dir.File("hooks.pdf");
    OutputFile out;
    ASSERT_EQ(out.Open(pdf, {}), OutputFile::OpenResult::Opened);
    WriteStop stop;
    ASSERT_TRUE(WriteDocument(out, paths, plan, {}, stop));
    ASSERT_TRUE(out.Close());

    const std::string bytes = ReadFileBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 15), "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    const std::string firstData = WithoutJfif(jpegs[0]);
    EXPECT_NE(bytes.find("/Length 10 0 R >>\nstream\n" + firstData + "\nendstream\nendobj\n10 0 obj\n"
                         + std::to_string(firstData.size()) + "\nendobj\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("cm\n/Im0 Do\nQ\n\nendstream\n"), std::string::npos);
    // The window's objects keep their numbers; the extras follow the last contents object.
    EXPECT_LT(bytes.find("\n8 0 obj\n"), bytes.find("\n9 0 obj\n"));

    EXPECT_EQ(StructureFaults(pdf), "");
    const CommandResult read = RunPython(dir, R"(import sys, pikepdf
pdf = pikepdf.open(sys.argv[1])
print(pdf.pdf_version, pdf.Root.PageMode, pdf.trailer.Info.Title, len(pdf.objects))
for page, name in zip(pdf.pages, sys.argv[2:]):
    image = page.Resources.XObject.Im0
    print(bytes(image.read_raw_bytes()) == open(name, "rb").read(), image.ColorSpace)
)",
                                         Quoted(pdf) + " " + Quoted(dir.Write("a.data", WithoutJfif(jpegs[0]))) + " "
                                             + Quoted(dir.Write("b.data", WithoutJfif(jpegs[1]))));
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_EQ(read.output, "1.4 /UseOutlines Hooks 11\nTrue /DeviceRGB\nTrue /DeviceCMYK\n");
}
