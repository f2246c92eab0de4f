// SPDX-License-Identifier: GPL-2.0-or-later
// Byte-exact layout of the written PDF, compared against a model of the whole file.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <locale>

#include "FrameHeaderBytes.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

using namespace engine_test;

namespace {

struct ModelImage {
    int width, height;
    bool cmyk;
    std::string bytes;
};

std::string Num(long long n) { return std::to_string(n); }

std::string TenDigits(long long n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%010lld", n);
    return text;
}

// The expected file, built the plain way: strings appended in object order.
std::string ModelPdf(const std::vector<ModelImage>& images)
{
    const long long n = static_cast<long long>(images.size());
    std::vector<long long> offsets;
    std::string pdf = "%PDF-1.2\n";
    auto begin = [&](long long number) {
        offsets.push_back(static_cast<long long>(pdf.size()));
        pdf += Num(number) + " 0 obj\n";
    };
    begin(1);
    pdf += "<<\n/Type /Catalog\n/Pages 2 0 R\n/OpenAction [3 0 R /XYZ -32768 -32768 1 ]\n>>\nendobj\n";
    begin(2);
    pdf += "<<\n/Type /Pages\n/Kids [ ";
    for (long long i = 0; i < n; ++i)
        pdf += Num(3 + i) + " 0 R ";
    pdf += "]\n/Count " + Num(n) + "\n>>\nendobj\n";
    for (long long i = 0; i < n; ++i) {
        begin(3 + i);
        pdf += "<<\n/Type /Page\n/Parent 2 0 R\n/Resources\n<<\n/XObject << /Im0 " + Num(n + 3 + i)
               + " 0 R >>\n/ProcSet [ /PDF /ImageC ]\n>>\n/MediaBox [ 0 0 " + Num(images[i].width) + " "
               + Num(images[i].height) + " ]\n/Contents " + Num(2 * n + 3 + i) + " 0 R\n>>\nendobj\n";
    }
    for (long long i = 0; i < n; ++i) {
        const ModelImage& im = images[i];
        begin(n + 3 + i);
        pdf += "<<\n/Type /XObject\n/Subtype /Image\n/Name /Im0\n/Width " + Num(im.width) + "\n/Height "
               + Num(im.height) + "\n/BitsPerComponent 8\n/Filter [/DCTDecode]\n";
        pdf += im.cmyk ? "/ColorSpace /DeviceCMYK\n/Decode[1 0 1 0 1 0 1 0]\n" : "/ColorSpace /DeviceRGB\n";
        pdf += "/Length " + Num(static_cast<long long>(im.bytes.size())) + " >>\nstream\n" + im.bytes
               + "endstream\nendobj\n";
    }
    for (long long i = 0; i < n; ++i) {
        const std::string content =
            "q\n" + Num(images[i].width) + " 0 0 " + Num(images[i].height) + " 0 0 cm\n/Im0 Do\nQ\n";
        begin(2 * n + 3 + i);
        pdf += "<< /Length " + Num(static_cast<long long>(content.size())) + " >>\nstream\n" + content
               + "endstream\nendobj\n";
    }
    const long long xref = static_cast<long long>(pdf.size());
    pdf += "xref\n0 " + Num(3 * n + 3) + "\n0000000000 65535 f \n";
    for (long long offset : offsets)
        pdf += TenDigits(offset) + " 00000 n \n";
    pdf += "trailer\n<<\n/Size " + Num(3 * n + 3) + "\n/Root 1 0 R\n>>\nstartxref\n" + Num(xref) + "\n%%EOF";
    return pdf;
}

// Where each "k 0 obj" line begins, for k = 1, 2, ...
std::vector<size_t> ObjectStarts(const std::string& pdf, int objectCount)
{
    std::vector<size_t> starts;
    for (int k = 1; k <= objectCount; ++k)
        starts.push_back(pdf.find("\n" + std::to_string(k) + " 0 obj\n") + 1);
    return starts;
}

std::string Export(const TempDir& dir, const std::vector<ModelImage>& images)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < images.size(); ++i)
        paths.push_back(dir.Write("image" + std::to_string(i) + ".jpg", images[i].bytes));
    const std::string output = dir.File("out.pdf");
    EXPECT_EQ(jpeg2pdf::ConvertJpegListToPdf(paths, output), jpeg2pdf::kExportSaved);
    return ReadFileBytes(output);
}

}  // namespace

TEST(PdfLayout, OneRgbImageHasTheKnownOffsets)
{
    TempDir dir;
    const std::string pdf = Export(dir, {{640, 480, false, JpegOfSize(640, 480, 3, 1000)}});
    EXPECT_EQ(pdf, ModelPdf({{640, 480, false, JpegOfSize(640, 480, 3, 1000)}}));

    EXPECT_EQ(ObjectStarts(pdf, 5), (std::vector<size_t>{9, 100, 159, 317, 1497}));
    EXPECT_EQ(pdf.size(), 1760u);
    EXPECT_EQ(pdf.substr(1577, 5), "xref\n");
    EXPECT_NE(pdf.find("startxref\n1577\n%%EOF"), std::string::npos);
    for (const char* line : {"/Kids [ 3 0 R ]\n", "/Count 1\n", "/XObject << /Im0 4 0 R >>\n", "/Contents 5 0 R\n",
                             "/Length 1000 >>\n", "<< /Length 31 >>\n", "xref\n0 6\n", "/Size 6\n"})
        EXPECT_NE(pdf.find(line), std::string::npos) << line;
}

TEST(PdfLayout, RgbThenCmykHasTheKnownOffsets)
{
    TempDir dir;
    const std::vector<ModelImage> images = {{640, 480, false, JpegOfSize(640, 480, 3, 1000)},
                                            {100, 200, true, JpegOfSize(100, 200, 4, 500)}};
    const std::string pdf = Export(dir, images);
    EXPECT_EQ(pdf, ModelPdf(images));

    EXPECT_EQ(ObjectStarts(pdf, 8), (std::vector<size_t>{9, 100, 165, 323, 481, 1661, 2366, 2446}));
    EXPECT_EQ(pdf.substr(2526, 9), "xref\n0 9\n");
    EXPECT_EQ(pdf.size(), 2769u);
    EXPECT_NE(pdf.find("/Kids [ 3 0 R 4 0 R ]\n"), std::string::npos);
    EXPECT_NE(pdf.find("/ColorSpace /DeviceCMYK\n/Decode[1 0 1 0 1 0 1 0]\n"), std::string::npos);
    EXPECT_EQ(pdf.find("/ColorSpace /DeviceRGB\n/Decode"), std::string::npos);
}

TEST(PdfLayout, MatchesTheModelForVariedLists)
{
    const std::string real = MakeJpeg({.width = 57, .height = 3, .gradient = true});
    const std::string cut = JpegOfSize(7, 9, 3, 12);  // ends right after the component count
    struct ListCase {
        const char* name;
        std::vector<ModelImage> images;
    };
    std::vector<ListCase> cases = {
        {"real encoder output", {{57, 3, false, real}}},
        {"file cut after its frame header is embedded whole", {{7, 9, false, cut}}},
        {"same file twice", {{57, 3, false, real}, {57, 3, false, real}}},
        {"largest page size", {{65535, 65535, true, JpegOfSize(65535, 65535, 4, 300)}}},
    };
    ListCase many{"twelve pages (two-digit object numbers)", {}};
    for (int i = 1; i <= 12; ++i)
        many.images.push_back({i * 10, i, i % 2 == 0, JpegOfSize(i * 10, i, i % 2 == 0 ? 4 : 3, 40 + i * 7)});
    cases.push_back(many);
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        EXPECT_EQ(Export(dir, c.images), ModelPdf(c.images));
    }
}

TEST(PdfLayout, NumbersIgnoreTheGlobalLocale)
{
    // A global locale that groups thousands must not reach the numbers in the file.
    struct Grouping : std::numpunct<char> {
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Grouping));
    TempDir dir;
    const std::vector<ModelImage> images = {{12345, 6789, false, JpegOfSize(12345, 6789, 3, 123456)}};
    const std::string pdf = Export(dir, images);
    std::locale::global(previous);
    EXPECT_EQ(pdf, ModelPdf(images));
}
