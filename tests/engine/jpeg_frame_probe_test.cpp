// SPDX-License-Identifier: GPL-2.0-or-later
// The frame probe on hand-made byte sequences, real encoder output and awkward files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ExportDetails.h"
#include "FrameHeaderBytes.h"
#include "JpegFrameProbe.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

using namespace engine_test;

namespace {

struct ProbeResult {
    bool accepted;
    int32_t width;
    int32_t height;
    bool isCmyk;
};

ProbeResult Probe(const std::string& path)
{
    ProbeResult r{false, -7, -7, false};
    r.accepted = jpeg2pdf::ReadJpegFrameInfo(path, r.width, r.height, r.isCmyk);
    return r;
}

const std::string kSoi = Bytes({0xFF, 0xD8});

using Refusal = jpeg2pdf::EntryRefusal;

// Why the probe refused a file (None when it accepted it), as the export explains it.
Refusal RefusalOf(const std::string& path, int* orientation = nullptr)
{
    jpeg2pdf::ProbeOutcome outcome;
    jpeg2pdf::ProbeJpegFile(path, orientation != nullptr, outcome);
    if (orientation)
        *orientation = outcome.orientation;
    return outcome.problem.refusal;
}

struct ByteCase {
    const char* name;
    std::string bytes;
    Refusal refusal;
    int32_t width = 0, height = 0;
    bool isCmyk = false;
};

}  // namespace

TEST(JpegFrameProbe, ReadsOrRejectsByteSequences)
{
    const std::string rgb = FrameHeader(640, 480, 3);
    const std::string app0 = Segment(0xE0, "JFIF" + std::string(10, '\0'));
    const std::string exif = Segment(0xE1, "Exif" + std::string(2000, '\xFF'));  // FF bytes inside are data
    const std::vector<ByteCase> cases = {
        {"baseline RGB", kSoi + rgb, Refusal::None, 640, 480, false},
        {"progressive CMYK", kSoi + FrameHeader(100, 200, 4, 0xC2), Refusal::None, 100, 200, true},
        {"largest size", kSoi + FrameHeader(65535, 65535, 3), Refusal::None, 65535, 65535, false},
        {"zero size is reported as such", kSoi + FrameHeader(0, 0, 3), Refusal::None, 0, 0, false},
        {"segments before the frame are skipped",
         kSoi + app0 + exif + Segment(0xFE, "comment") + Segment(0xDB, std::string(65, '\x01'))
             + Segment(0xC4, std::string(30, '\x02')) + rgb,
         Refusal::None, 640, 480, false},
        {"a fill byte before a marker reads as FFFF", kSoi + Bytes({0xFF}) + rgb, Refusal::NoFrameHeader},
        {"cut right after the component count", (kSoi + rgb).substr(0, 12), Refusal::None, 640, 480, false},
        {"every other marker has a length", kSoi + Bytes({0xFF, 0xD0}) + rgb, Refusal::EndsEarly},
        {"grayscale", kSoi + FrameHeader(8, 8, 1), Refusal::ComponentCount},
        {"two components", kSoi + FrameHeader(8, 8, 2), Refusal::ComponentCount},
        {"five components", kSoi + FrameHeader(8, 8, 5), Refusal::ComponentCount},
        {"12-bit baseline", kSoi + FrameHeader(8, 8, 3, 0xC0, 12), Refusal::NotEightBit},
        {"12-bit progressive", kSoi + FrameHeader(8, 8, 3, 0xC2, 12), Refusal::NotEightBit},
        {"extended sequential frame", kSoi + FrameHeader(8, 8, 3, 0xC1), Refusal::UnsupportedFrame},
        {"lossless frame", kSoi + FrameHeader(8, 8, 3, 0xC3), Refusal::UnsupportedFrame},
        {"arithmetic frame", kSoi + FrameHeader(8, 8, 3, 0xC9), Refusal::UnsupportedFrame},
        {"12-bit extended sequential frame", kSoi + FrameHeader(8, 8, 3, 0xC1, 12), Refusal::NotEightBit},
        {"other frame types are skipped like any segment", kSoi + FrameHeader(8, 8, 3, 0xC1) + rgb, Refusal::None, 640, 480, false},
        {"empty file", "", Refusal::NotJpeg},
        {"one byte", Bytes({0xFF}), Refusal::NotJpeg},
        {"only SOI", kSoi, Refusal::EndsEarly},
        {"not starting with SOI", Bytes({0xFF, 0xD9}) + rgb, Refusal::NotJpeg},
        {"PNG signature", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), Refusal::NotJpeg},
        {"cut inside the frame header", (kSoi + rgb).substr(0, 11), Refusal::EndsEarly},
        {"cut inside the height", (kSoi + rgb).substr(0, 8), Refusal::EndsEarly},
        {"end of image before any frame", kSoi + Bytes({0xFF, 0xD9}) + rgb, Refusal::NoFrameHeader},
        {"a scan header is skipped like any segment", kSoi + Segment(0xDA, "abc") + rgb, Refusal::None, 640, 480, false},
        {"second SOI", kSoi + kSoi + rgb, Refusal::EndsEarly},
        {"garbage where a marker belongs", kSoi + Bytes({0x12, 0x34}) + rgb, Refusal::EndsEarly},
        {"stuffed zero where a marker belongs", kSoi + Bytes({0xFF, 0x00}) + rgb, Refusal::EndsEarly},
        {"segment length 0", kSoi + Bytes({0xFF, 0xE0, 0, 0}) + rgb, Refusal::EndsEarly},
        {"segment length 1", kSoi + Bytes({0xFF, 0xE0, 0, 1}) + rgb, Refusal::EndsEarly},
        {"segment length past the end", kSoi + Bytes({0xFF, 0xE0, 0xFF, 0xFF}) + rgb, Refusal::EndsEarly},
        {"only fill bytes", kSoi + std::string(10000, '\xFF'), Refusal::NoFrameHeader},
        // Once a scan begins, the frame header is known to be missing.
        {"ends right after a scan", kSoi + Segment(0xDA, "abc") + Bytes({0x12, 0x34, 0x56}), Refusal::NoFrameHeader},
        {"ends right after a whole scan header", kSoi + app0 + Segment(0xDA, Bytes({1, 1, 0, 0, 63, 0})),
         Refusal::NoFrameHeader},
        {"ends right after a scan's marker", kSoi + Bytes({0xFF, 0xDA}), Refusal::NoFrameHeader},
        {"ends inside a scan's length", kSoi + Bytes({0xFF, 0xDA, 0x00}), Refusal::NoFrameHeader},
    };
    TempDir dir;
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProbeResult r = Probe(dir.Write("probe.jpg", c.bytes));
        EXPECT_EQ(r.accepted, c.refusal == Refusal::None);
        EXPECT_EQ(RefusalOf(dir.File("probe.jpg")), c.refusal);
        if (r.accepted) {
            EXPECT_EQ(r.width, c.width);
            EXPECT_EQ(r.height, c.height);
            EXPECT_EQ(r.isCmyk, c.isCmyk);
        }
    }
}

TEST(JpegFrameProbe, JudgesEncoderOutput)
{
    struct EncodedCase {
        const char* name;
        JpegRecipe recipe;
        bool accepted;
    };
    const std::vector<EncodedCase> cases = {
        {"RGB baseline", {.width = 33, .height = 17}, true},
        {"RGB progressive", {.width = 40, .height = 30, .progressive = true}, true},
        {"RGB with restart markers", {.width = 64, .height = 64, .restartInterval = 1}, true},
        {"CMYK baseline", {.width = 20, .height = 10, .components = 4}, true},
        {"CMYK progressive", {.width = 20, .height = 10, .components = 4, .progressive = true}, true},
        {"grayscale", {.width = 20, .height = 10, .components = 1}, false},
    };
    TempDir dir;
    for (const EncodedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProbeResult r = Probe(dir.Write("encoded.jpg", MakeJpeg(c.recipe)));
        EXPECT_EQ(r.accepted, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(r.width, c.recipe.width);
            EXPECT_EQ(r.height, c.recipe.height);
            EXPECT_EQ(r.isCmyk, c.recipe.components == 4);
        }
    }
}

TEST(JpegFrameProbe, JudgesSharedTestImages)
{
    struct FileCase {
        const char* file;
        Refusal refusal;
    };
    const std::vector<FileCase> cases = {
        {"testorig.jpg", Refusal::None},
        {"testimgint.jpg", Refusal::None},
        {"testimgari.jpg", Refusal::UnsupportedFrame},
        {"monkey12.jpg", Refusal::NotEightBit},
        {"testorig.png", Refusal::NotJpeg},
        {"shira_bird8.bmp", Refusal::NotJpeg},
    };
    TempDir dir;
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.file);
        const ProbeResult r = Probe(dir.CopyTestData(std::string("libjpeg-turbo/") + c.file));
        EXPECT_EQ(r.accepted, c.refusal == Refusal::None);
        EXPECT_EQ(RefusalOf(dir.CopyTestData(std::string("libjpeg-turbo/") + c.file)), c.refusal);
        if (r.accepted) {
            EXPECT_EQ(r.width, 227);
            EXPECT_EQ(r.height, 149);
            EXPECT_FALSE(r.isCmyk);
        }
    }
}

TEST(JpegFrameProbe, RefusesWhatIsNotAReadableRegularFile)
{
    TempDir dir;
    const std::string jpeg = MakeJpeg({});
    ASSERT_EQ(mkfifo(dir.File("fifo.jpg").c_str(), 0600), 0);  // must not block waiting for a writer
    ASSERT_EQ(mkdir(dir.File("folder.jpg").c_str(), 0700), 0);
    const std::vector<std::pair<std::string, Refusal>> cases = {
        {dir.File("missing.jpg"), Refusal::CannotOpen}, {dir.File("folder.jpg"), Refusal::NotRegularFile},
        {dir.File("fifo.jpg"), Refusal::NotRegularFile}, {"/dev/zero", Refusal::NotRegularFile},
        {"", Refusal::CannotOpen},
    };
    for (const auto& [path, refusal] : cases) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(Probe(path).accepted);
        EXPECT_EQ(RefusalOf(path), refusal);
    }
    // Reached through a symbolic link, the file itself counts.
    const std::string real = dir.Write("real.jpg", jpeg);
    ASSERT_EQ(symlink(real.c_str(), dir.File("link.jpg").c_str()), 0);
    EXPECT_TRUE(Probe(dir.File("link.jpg")).accepted);
}

TEST(JpegFrameProbe, RefusesFileLockedByAWriterButSharesWithReaders)
{
    TempDir dir;
    const std::string path = dir.Write("locked.jpg", MakeJpeg({}));
    const int other = open(path.c_str(), O_RDWR);
    ASSERT_GE(other, 0);

    ASSERT_EQ(flock(other, LOCK_EX), 0);
    EXPECT_FALSE(Probe(path).accepted);
    EXPECT_EQ(RefusalOf(path), Refusal::LockedByWriter);
    ASSERT_EQ(flock(other, LOCK_SH), 0);
    EXPECT_TRUE(Probe(path).accepted);
    close(other);

    // The probe lets go of its own lock: a writer can lock the file afterwards.
    const int writer = open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    close(writer);
}

namespace {

// An Exif APP1 payload: "Exif\0\0", a TIFF header in the given byte order, and IFD0 with an
// unrelated tag and then the orientation tag of the given type and value.
std::string ExifPayload(bool bigEndian, int orientation, int type = 3, int ifdOffset = 8)
{
    auto word = [&](int v) { return bigEndian ? Bytes({v >> 8 & 0xFF, v & 0xFF}) : Bytes({v & 0xFF, v >> 8 & 0xFF}); };
    auto dword = [&](int v) { return bigEndian ? word(v >> 16) + word(v & 0xFFFF) : word(v & 0xFFFF) + word(v >> 16); };
    std::string tiff = (bigEndian ? "MM" : "II") + word(42) + dword(ifdOffset) + word(2);
    tiff += word(0x010F) + word(2) + dword(4) + dword(0);  // Make, an ASCII value stored elsewhere
    tiff += word(0x0112) + word(type) + dword(1) + word(orientation) + word(0);
    tiff += dword(0);  // no next IFD
    return std::string("Exif\0\0", 6) + tiff;
}

}  // namespace

TEST(JpegFrameProbe, ReadsTheExifOrientationBoundedByItsSegment)
{
    const std::string frame = FrameHeader(30, 20, 3);
    const std::string xmp = Segment(0xE1, "http://ns.adobe.com/xap/1.0/" + std::string(1, '\0') + "<x/>");
    const std::string intel6 = ExifPayload(false, 6);
    // The orientation entry lies just past the segment's end; the probe reads its first four
    // bytes as the next marker and length (0x1201, 0x0300), and the frame follows that "segment".
    const std::string cut = Segment(0xE1, intel6.substr(0, 28)) + intel6.substr(28) + std::string(754, '\0');
    struct OrientationCase {
        const char* name;
        std::string bytes;
        int orientation;
    };
    const std::vector<OrientationCase> cases = {
        {"little-endian", kSoi + Segment(0xE1, intel6) + frame, 6},
        {"big-endian", kSoi + Segment(0xE1, ExifPayload(true, 8)) + frame, 8},
        {"after an XMP segment", kSoi + xmp + Segment(0xE1, ExifPayload(true, 3)) + frame, 3},
        {"no Exif segment", kSoi + frame, 1},
        {"zero", kSoi + Segment(0xE1, ExifPayload(false, 0)) + frame, 1},
        {"nine", kSoi + Segment(0xE1, ExifPayload(true, 9)) + frame, 1},
        {"stored as a LONG", kSoi + Segment(0xE1, ExifPayload(false, 6, 4)) + frame, 1},
        {"IFD beyond the segment", kSoi + Segment(0xE1, ExifPayload(false, 6, 3, 60000)) + frame, 1},
        {"entry cut off by the segment's length", kSoi + cut + frame, 1},
        {"after the frame header", kSoi + frame + Segment(0xE1, intel6), 1},
    };
    TempDir dir;
    for (const OrientationCase& c : cases) {
        SCOPED_TRACE(c.name);
        int orientation = -1;
        EXPECT_EQ(RefusalOf(dir.Write("exif.jpg", c.bytes), &orientation), Refusal::None);
        EXPECT_EQ(orientation, c.orientation);
    }
}

TEST(JpegFrameProbe, AcceptsGreyFramesOnlyOnRequest)
{
    struct GreyCase {
        const char* name;
        std::string bytes;
        bool acceptGray;
        Refusal refusal;
        int components;  // 0: no frame header was read
    };
    const std::string grey = MakeJpeg({.width = 20, .height = 10, .components = 1});
    const std::string greyProgressive = MakeJpeg({.width = 20, .height = 10, .components = 1, .progressive = true});
    const std::vector<GreyCase> cases = {
        {"baseline", grey, false, Refusal::ComponentCount, 1},
        {"baseline on request", grey, true, Refusal::None, 1},
        {"progressive", greyProgressive, false, Refusal::ComponentCount, 1},
        {"progressive on request", greyProgressive, true, Refusal::None, 1},
        {"12-bit on request", kSoi + FrameHeader(20, 10, 1, 0xC0, 12), true, Refusal::NotEightBit, 1},
        {"extended sequential on request", kSoi + FrameHeader(20, 10, 1, 0xC1), true, Refusal::UnsupportedFrame, 0},
        {"cut before the component count", (kSoi + FrameHeader(20, 10, 1)).substr(0, 11), true, Refusal::EndsEarly, 0},
        {"two components on request", kSoi + FrameHeader(20, 10, 2), true, Refusal::ComponentCount, 2},
        {"RGB on request", MakeJpeg({.width = 20, .height = 10}), true, Refusal::None, 3},
        {"CMYK on request", MakeJpeg({.width = 20, .height = 10, .components = 4}), true, Refusal::None, 4},
    };
    TempDir dir;
    for (const GreyCase& c : cases) {
        SCOPED_TRACE(c.name);
        jpeg2pdf::ProbeRequest request;
        request.acceptGray = c.acceptGray;
        jpeg2pdf::ProbeOutcome outcome;
        jpeg2pdf::ProbeJpegFile(dir.Write("grey.jpg", c.bytes), request, outcome);
        EXPECT_EQ(outcome.problem.refusal, c.refusal);
        EXPECT_EQ(outcome.components, c.components);
        if (c.refusal == Refusal::None) {
            EXPECT_EQ(outcome.info.Width, 20);
            EXPECT_EQ(outcome.info.Height, 10);
            EXPECT_EQ(outcome.info.IsCmyk, c.components == 4);
        }
        if (c.components == 1 && c.refusal == Refusal::ComponentCount) {
            EXPECT_EQ(jpeg2pdf::DescribeEntryProblem(outcome.problem),
                      "grayscale (1 component); only RGB (3) and CMYK (4) are supported");
        }
    }
}
