// The frame probe on hand-made byte sequences, real encoder output and awkward files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FrameHeaderBytes.h"
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

struct ByteCase {
    const char* name;
    std::string bytes;
    bool accepted;
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
        {"baseline RGB", kSoi + rgb, true, 640, 480, false},
        {"progressive CMYK", kSoi + FrameHeader(100, 200, 4, 0xC2), true, 100, 200, true},
        {"largest size", kSoi + FrameHeader(65535, 65535, 3), true, 65535, 65535, false},
        {"zero size is reported as such", kSoi + FrameHeader(0, 0, 3), true, 0, 0, false},
        {"segments before the frame are skipped",
         kSoi + app0 + exif + Segment(0xFE, "comment") + Segment(0xDB, std::string(65, '\x01'))
             + Segment(0xC4, std::string(30, '\x02')) + rgb,
         true, 640, 480, false},
        {"a fill byte before a marker reads as FFFF", kSoi + Bytes({0xFF}) + rgb, false},
        {"cut right after the component count", (kSoi + rgb).substr(0, 12), true, 640, 480, false},
        {"every other marker has a length", kSoi + Bytes({0xFF, 0xD0}) + rgb, false},
        {"grayscale", kSoi + FrameHeader(8, 8, 1), false},
        {"two components", kSoi + FrameHeader(8, 8, 2), false},
        {"five components", kSoi + FrameHeader(8, 8, 5), false},
        {"12-bit baseline", kSoi + FrameHeader(8, 8, 3, 0xC0, 12), false},
        {"12-bit progressive", kSoi + FrameHeader(8, 8, 3, 0xC2, 12), false},
        {"extended sequential frame", kSoi + FrameHeader(8, 8, 3, 0xC1), false},
        {"lossless frame", kSoi + FrameHeader(8, 8, 3, 0xC3), false},
        {"arithmetic frame", kSoi + FrameHeader(8, 8, 3, 0xC9), false},
        {"other frame types are skipped like any segment", kSoi + FrameHeader(8, 8, 3, 0xC1) + rgb, true, 640, 480, false},
        {"empty file", "", false},
        {"one byte", Bytes({0xFF}), false},
        {"only SOI", kSoi, false},
        {"not starting with SOI", Bytes({0xFF, 0xD9}) + rgb, false},
        {"PNG signature", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), false},
        {"cut inside the frame header", (kSoi + rgb).substr(0, 11), false},
        {"cut inside the height", (kSoi + rgb).substr(0, 8), false},
        {"end of image before any frame", kSoi + Bytes({0xFF, 0xD9}) + rgb, false},
        {"a scan header is skipped like any segment", kSoi + Segment(0xDA, "abc") + rgb, true, 640, 480, false},
        {"second SOI", kSoi + kSoi + rgb, false},
        {"garbage where a marker belongs", kSoi + Bytes({0x12, 0x34}) + rgb, false},
        {"stuffed zero where a marker belongs", kSoi + Bytes({0xFF, 0x00}) + rgb, false},
        {"segment length 0", kSoi + Bytes({0xFF, 0xE0, 0, 0}) + rgb, false},
        {"segment length 1", kSoi + Bytes({0xFF, 0xE0, 0, 1}) + rgb, false},
        {"segment length past the end", kSoi + Bytes({0xFF, 0xE0, 0xFF, 0xFF}) + rgb, false},
        {"only fill bytes", kSoi + std::string(10000, '\xFF'), false},
    };
    TempDir dir;
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProbeResult r = Probe(dir.Write("probe.jpg", c.bytes));
        EXPECT_EQ(r.accepted, c.accepted);
        if (c.accepted) {
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
        bool accepted;
    };
    const std::vector<FileCase> cases = {
        {"testorig.jpg", true},     {"testimgint.jpg", true},    {"testimgari.jpg", false},
        {"monkey12.jpg", false},    {"testorig.png", false},     {"shira_bird8.bmp", false},
    };
    TempDir dir;
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.file);
        const ProbeResult r = Probe(dir.CopyTestData(std::string("libjpeg-turbo/") + c.file));
        EXPECT_EQ(r.accepted, c.accepted);
        if (c.accepted) {
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
    for (const std::string& path : {dir.File("missing.jpg"), dir.File("folder.jpg"), dir.File("fifo.jpg"),
                                    std::string("/dev/zero"), std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(Probe(path).accepted);
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
    ASSERT_EQ(flock(other, LOCK_SH), 0);
    EXPECT_TRUE(Probe(path).accepted);
    close(other);

    // The probe lets go of its own lock: a writer can lock the file afterwards.
    const int writer = open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    close(writer);
}
