// SPDX-License-Identifier: GPL-2.0-or-later
// What only options add is planned as data and written by the writer: extra objects after the
// plain layout's, catalog and trailer entries, the header version, image data with an indirect
// length, an end-of-line before endstream. Real readers must find the result sound.
#include <gtest/gtest.h>

#include "DocumentMetadataPlanner.h"
#include "DocumentPlanner.h"
#include "DocumentWriter.h"
#include "MakeJpeg.h"
#include "PagePlanner.h"
#include "ReaderTools.h"

using namespace jpeg2pdf;
using namespace engine_test;

TEST(DocumentParts, LandAfterThePlainObjectsAndReadersAccept)
{
    TempDir dir;
    const std::vector<std::string> jpegs
        = {MakeJpeg({.width = 20, .height = 10}), MakeJpeg({.width = 8, .height = 30, .components = 4})};
    const std::vector<std::string> paths = {dir.Write("a.jpg", jpegs[0]), dir.Write("b.jpg", jpegs[1])};

    DocumentPlan plan = PlanPages(PlainPages({{{false, 20, 10}, 1}, {{true, 8, 30}, 1}}), PageLayout {});
    DocumentRequest request;
    request.bookmarks = true;
    request.info.title = "Parts";
    request.stripMetadata = true;
    PlanDocumentParts(plan, request, paths);
    // After 2 pages, 2 images and 2 contents: the outline's root and items, the information.
    EXPECT_EQ(plan.outline.root, 9);
    EXPECT_EQ(plan.information.object, 12);
    EXPECT_EQ(plan.pages[0].lengthObject, 13);
    EXPECT_EQ(plan.pages[1].lengthObject, 14);
    plan.RequireVersion(4);
    plan.RequireVersion(3);
    plan.binaryComment = true;
    plan.eolBeforeEndstream = true;

    const std::string pdf = dir.File("parts.pdf");
    posixfile::OutputFile out;
    ASSERT_EQ(out.Open(pdf, {}), posixfile::OutputFile::OpenResult::Opened);
    WriteStop stop;
    ASSERT_TRUE(WriteDocument(out, paths, plan, nullptr, {}, stop));
    ASSERT_TRUE(out.Close());

    const std::string bytes = ReadFileBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 15), "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    // The stripped copy of a file with nothing to strip is the file; its length follows it.
    EXPECT_NE(bytes.find("/Length 13 0 R >>\nstream\n" + jpegs[0] + "\nendstream\nendobj\n13 0 obj\n"
                         + std::to_string(jpegs[0].size()) + "\nendobj\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("cm\n/Im0 Do\nQ\n\nendstream\n"), std::string::npos);
    // The plain layout's objects keep their numbers; the parts follow the last contents object.
    EXPECT_LT(bytes.find("\n8 0 obj\n"), bytes.find("\n9 0 obj\n"));

    EXPECT_EQ(StructureFaults(pdf), "");
    const CommandResult read = RunPython(dir, R"(import sys, pikepdf
pdf = pikepdf.open(sys.argv[1])
print(pdf.pdf_version, pdf.Root.PageMode, pdf.trailer.Info.Title, len(pdf.objects), len(pdf.trailer.ID))
print([str(item.title) for item in pikepdf.Outline(pdf).root])
for page, name in zip(pdf.pages, sys.argv[2:]):
    image = page.Resources.XObject.Im0
    print(bytes(image.read_raw_bytes()) == open(name, "rb").read(), image.ColorSpace)
)",
                                         Quoted(pdf) + " " + Quoted(paths[0]) + " " + Quoted(paths[1]));
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_EQ(read.output, "1.4 /UseOutlines Parts 14 2\n['a.jpg', 'b.jpg']\nTrue /DeviceRGB\nTrue /DeviceCMYK\n");
}
