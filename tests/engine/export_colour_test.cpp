// SPDX-License-Identifier: GPL-2.0-or-later
// Grey pages and embedded colour profiles through ExportJpegList, checked by real readers:
// rendered colours, one object per distinct profile, the header version the profiles need, and
// the warning for a profile that cannot be used.
#include <gtest/gtest.h>

#include <utility>

#include "ExportDetails.h"
#include "IccProfiles.h"
#include "JpegSegments.h"
#include "MakeJpeg.h"
#include "ReaderTools.h"

using namespace jpeg2pdf;
using namespace engine_test;

namespace {

// A picture with a saturated ramp, where colour management shows most.
JpegRecipe Ramp(std::vector<std::string> segments = {})
{
    return {.width = 64, .height = 48, .quality = 95, .gradient = true, .leadingSegments = std::move(segments)};
}

}  // namespace

TEST(ExportColour, GrayPageShowsTheDecodedPicture)
{
    TempDir dir;
    const std::string path = dir.Write(
        "gray.jpg", MakeJpeg({.width = 64, .height = 48, .components = 1, .quality = 95, .gradient = true}));
    ExportOptions options;
    options.acceptGray = true;
    const std::string pdf = Export(dir, {path}, options);
    EXPECT_EQ(StructureFaults(pdf), "");
    const CommandResult read = RunPython(dir, R"(import sys, pikepdf
pdf = pikepdf.open(sys.argv[1])
page = pdf.pages[0]
image = page.Resources.XObject.Im0
print(image.ColorSpace, page.Resources.ProcSet[1], bytes(image.read_raw_bytes()) == open(sys.argv[2], "rb").read())
)",
                                         Quoted(pdf) + " " + Quoted(path));
    EXPECT_EQ(read.output, "/DeviceGray /ImageB True\n");

    const RgbImage rendered = RenderPage(dir, pdf, 1);
    const RgbImage decoded = DecodeJpegToRgb(ReadFileBytes(path));
    ASSERT_EQ(rendered.width, decoded.width);
    ASSERT_EQ(rendered.height, decoded.height);
    // The reader's grey tone curve lifts dark values by up to 4 levels; a wrong picture is far off.
    const auto [mean, largest] = Difference(rendered, decoded);
    EXPECT_LT(mean, 4.0);
    EXPECT_LT(largest, 24);
}

// The reader's colour-managed render against ImageMagick's conversion of the file to sRGB; the
// same file drawn in the device space is far off, so the comparison can tell.
TEST(ExportColour, ProfilePageMatchesAColourManagedConversion)
{
    TempDir dir;
    const std::string path = dir.Write("wide.jpg", MakeJpeg(Ramp(IccChunkSegments(AdobeRgbLikeProfile()))));
    const std::string srgb = dir.Write("srgb.icc", SrgbProfile());
    const std::string reference = dir.File("reference.ppm");
    const CommandResult convert
        = RunCommand("convert " + Quoted(path) + " -profile " + Quoted(srgb) + " " + Quoted(reference));
    ASSERT_EQ(convert.status, 0) << convert.output;
    const RgbImage expected = ReadPpm(reference);

    ExportOptions options;
    options.embedProfiles = true;
    const std::string managed = Export(dir, {path}, options, "managed.pdf");
    const std::string device = Export(dir, {path}, {}, "device.pdf");
    EXPECT_EQ(StructureFaults(managed), "");
    const RgbImage rendered = RenderPage(dir, managed, 1);
    const RgbImage uncorrected = RenderPage(dir, device, 1);
    ASSERT_EQ(rendered.width, expected.width);
    ASSERT_EQ(rendered.height, expected.height);
    // The two decoders differ a little at the ramp's steps; the device colours are off by far more.
    EXPECT_LT(Difference(rendered, expected).first, 3.0);
    EXPECT_LT(Difference(rendered, expected).second, 32);
    EXPECT_GT(Difference(uncorrected, expected).first, 10.0);
    EXPECT_GT(Difference(uncorrected, expected).second, 100);
}

// One stream per distinct profile (by bytes, whatever the files), referenced by every image
// that carries it; its decoded bytes are the profile's; CMYK keeps its decode array.
TEST(ExportColour, ImagesShareOneObjectPerDistinctProfile)
{
    TempDir dir;
    const std::string wide = AdobeRgbLikeProfile(), srgb = SrgbProfile(), cmyk = CmykProfile(), gray = GrayProfile();
    struct Row {
        const char* file;
        JpegRecipe recipe;
        const char* profile;  // the file holding the bytes expected, "" for none
    };
    const std::vector<Row> rows = {
        {"wide1.jpg", Ramp(IccChunkSegments(wide)), "wide.icc"},
        {"wide2.jpg", {.width = 9, .height = 9, .leadingSegments = IccChunkSegments(wide, 1000)}, "wide.icc"},
        {"srgb.jpg", Ramp(IccChunkSegments(srgb)), "srgb.icc"},
        {"none.jpg", Ramp(), ""},
        {"cmyk.jpg", {.width = 8, .height = 8, .components = 4, .leadingSegments = IccChunkSegments(cmyk)}, "cmyk.icc"},
        {"gray.jpg", {.width = 8, .height = 8, .components = 1, .leadingSegments = IccChunkSegments(gray)}, "gray.icc"},
        {"wide3.jpg", {.width = 5, .height = 7, .leadingSegments = IccChunkSegments(wide)}, "wide.icc"},
    };
    dir.Write("wide.icc", wide), dir.Write("srgb.icc", srgb), dir.Write("cmyk.icc", cmyk), dir.Write("gray.icc", gray);
    std::vector<std::string> paths;
    std::string profileArguments;
    for (const Row& row : rows) {
        paths.push_back(dir.Write(row.file, MakeJpeg(row.recipe)));
        profileArguments += " " + Quoted(*row.profile ? dir.File(row.profile) : "");
    }
    ExportOptions options;
    options.embedProfiles = true;
    options.acceptGray = true;
    const std::string pdf = Export(dir, paths, options);
    EXPECT_EQ(StructureFaults(pdf), "");
    const CommandResult read = RunPython(dir, R"(import sys, pikepdf
pdf = pikepdf.open(sys.argv[1])
first = {}
for page, profile in zip(pdf.pages, sys.argv[2:]):
    image = page.Resources.XObject.Im0
    space = image.ColorSpace
    if not profile:
        print(space)
        continue
    stream = space[1]
    number = stream.objgen[0]
    shared = first.setdefault(profile, number) == number
    decode = list(image.Decode) if "/Decode" in image else None
    print("ICCBased", int(stream.N), stream.Alternate, shared, bytes(stream.read_bytes()) == open(profile, "rb").read(),
          stream.Filter, decode)
print(len(set(first.values())), "profiles", pdf.pdf_version)
)",
                                         Quoted(pdf) + profileArguments);
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_EQ(read.output,
              "ICCBased 3 /DeviceRGB True True /FlateDecode None\n"
              "ICCBased 3 /DeviceRGB True True /FlateDecode None\n"
              "ICCBased 3 /DeviceRGB True True /FlateDecode None\n"
              "/DeviceRGB\n"
              "ICCBased 4 /DeviceCMYK True True /FlateDecode [1, 0, 1, 0, 1, 0, 1, 0]\n"
              "ICCBased 1 /DeviceGray True True /FlateDecode None\n"
              "ICCBased 3 /DeviceRGB True True /FlateDecode None\n"
              "4 profiles 1.7\n");
}

TEST(ExportColour, HeaderNamesTheLowestVersionForTheProfiles)
{
    struct Row {
        double profileVersion;
        const char* header;
    };
    const Row rows[] = {{2.1, "%PDF-1.3\n"}, {2.4, "%PDF-1.4\n"}, {4.0, "%PDF-1.5\n"}, {4.2, "%PDF-1.7\n"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.profileVersion);
        TempDir dir;
        const std::string path = dir.Write("p.jpg", MakeJpeg(Ramp(IccChunkSegments(SrgbProfile(row.profileVersion)))));
        ExportOptions options;
        options.embedProfiles = true;
        EXPECT_EQ(ReadFileBytes(Export(dir, {path}, options)).substr(0, 9), row.header);
    }
}

TEST(ExportColour, IgnoredProfileLeavesTheDeviceSpaceWithOneWarningPerFile)
{
    TempDir dir;
    const std::string profile = AdobeRgbLikeProfile();
    const std::string broken = dir.Write("broken.jpg", MakeJpeg(Ramp(IccChunkSegments(profile, 1000, {1, 3}))));
    const std::string plain = dir.Write("plain.jpg", MakeJpeg(Ramp()));
    std::vector<std::pair<int, std::string>> warnings;
    ExportOptions options;
    options.embedProfiles = true;
    options.warn = [&warnings](int entry, const std::string& text) { warnings.emplace_back(entry, text); };
    const std::string pdf = Export(dir, {broken, plain, broken}, options);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].first, 0);
    EXPECT_EQ(warnings[1].first, 2);
    EXPECT_FALSE(warnings[0].second.empty());
    const std::string bytes = ReadFileBytes(pdf);
    EXPECT_EQ(bytes.find("ICCBased"), std::string::npos);
    EXPECT_EQ(bytes.substr(0, 9), "%PDF-1.2\n");
}
