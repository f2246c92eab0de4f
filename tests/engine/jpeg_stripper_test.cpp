// SPDX-License-Identifier: GPL-2.0-or-later
// Stripping, checked against copies the tests assemble from the pieces they put into each file,
// and by decoding both with libjpeg.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "DecodeJpeg.h"
#include "OutputFile.h"
#include "FrameHeaderBytes.h"
#include "JpegStripper.h"
#include "MakeJpeg.h"
#include "PhoneJpeg.h"
#include "TempDir.h"

using engine_test::Bytes;
using engine_test::FrameHeader;
using engine_test::Segment;

namespace {

// Strips the file `input` holds into an output that already holds `before`; the result must
// match the count it reports.
std::string Strip(const TempDir& dir, const std::string& input, const std::string& before = "")
{
    posixfile::InputFile in;
    posixfile::OutputFile out;
    EXPECT_TRUE(in.Open(dir.Write("in.jpg", input)));
    EXPECT_EQ(out.Open(dir.File("out.bin"), {}), posixfile::OutputFile::OpenResult::Opened);
    EXPECT_TRUE(out.Write(before));
    const int64_t written = jpeg2pdf::CopyJpegStripped(in, out);
    EXPECT_TRUE(out.Close());
    const std::string output = ReadFileBytes(dir.File("out.bin"));
    EXPECT_EQ(output.substr(0, before.size()), before);
    EXPECT_EQ(written, static_cast<int64_t>(output.size() - before.size()));
    return output.substr(before.size());
}

// Equal bytes; on a difference, where it begins rather than megabytes of text.
testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return testing::AssertionSuccess();
    const auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected; the first difference at offset "
                                       << (differ.first - actual.begin());
}

// Inserts `segments` before the second scan header (between scans) when there is one, and
// before the final end-of-image marker (after the last scan).
std::string BetweenScans(std::string tablesOnward, const std::string& segments)
{
    tablesOnward.insert(tablesOnward.size() - 2, segments);
    const size_t first = tablesOnward.find("\xFF\xDA");
    const size_t second = tablesOnward.find("\xFF\xDA", first + 2);
    if (second != std::string::npos)
        tablesOnward.insert(second, segments);
    return tablesOnward;
}

const std::string kSoi = Bytes({0xFF, 0xD8});
const std::string kEoi = Bytes({0xFF, 0xD9});
const std::string kTables
    = Segment(0xDB, std::string(65, '\x01')) + FrameHeader(8, 8, 3) + Segment(0xC4, std::string(20, '\x02'));
const std::string kScanHeader = Segment(0xDA, Bytes({3, 1, 0, 2, 0x11, 3, 0x11, 0, 63, 0}));

}  // namespace

TEST(JpegStripper, PhonePhotoLosesItsMetadataButNotItsPicture)
{
    const std::vector<std::pair<const char*, JpegRecipe>> pictures = {
        {"baseline with restarts", {.width = 48, .height = 40, .restartInterval = 1, .gradient = true}},
        {"progressive with restarts",
         {.width = 64, .height = 48, .progressive = true, .restartInterval = 2, .checkerboard = true}},
        {"CMYK, progressive (Adobe kept)", {.width = 40, .height = 24, .components = 4, .progressive = true}},
    };
    TempDir dir;
    for (const auto& [name, recipe] : pictures) {
        SCOPED_TRACE(name);
        const std::string original = MakeJpeg(recipe);
        const phone_jpeg::Parts parts = phone_jpeg::Split(original);
        ASSERT_FALSE(parts.appSegments.empty());  // JFIF or Adobe, as libjpeg writes them
        const std::string dropped = phone_jpeg::Comment("between scans") + phone_jpeg::Xmp();
        const std::string phone = parts.startOfImage + phone_jpeg::Exif(6) + parts.appSegments + phone_jpeg::Xmp()
            + phone_jpeg::Photoshop() + phone_jpeg::Comment("Jane's phone") + phone_jpeg::MultiPicture()
            + phone_jpeg::IccProfile() + phone_jpeg::JfifExtension() + BetweenScans(parts.tablesOnward, dropped)
            + phone_jpeg::MotionPhotoTrailer(5000);

        const std::string stripped = Strip(dir, phone);
        EXPECT_EQ(stripped, parts.startOfImage + parts.appSegments + phone_jpeg::IccProfile() + parts.tablesOnward);
        EXPECT_EQ(DecodeJpegSamples(stripped), DecodeJpegSamples(original));
    }
}

TEST(JpegStripper, OddStructuresAreWalkedOrKept)
{
    const std::string data("\x12\x34\xFF\x00\x56\xFF\xD0\x78\xFF\xFF\x00\x9A\xFF\xD7", 14);
    const std::string exif = phone_jpeg::Exif(1);
    struct Row {
        const char* name;
        std::string input, expected;
    };
    const std::vector<Row> rows = {
        {"stuffed bytes, restarts and fill in the data; a trailer with markers",
         kSoi + exif + kTables + kScanHeader + data + "\xFF\xFF" + kEoi + phone_jpeg::MotionPhotoTrailer(300),
         kSoi + kTables + kScanHeader + data + "\xFF\xFF" + kEoi},
        {"fill bytes before markers after the frame are kept, before dropped segments too",
         kSoi + kTables + "\xFF\xFF" + phone_jpeg::Comment("x") + kScanHeader + data + "\xFF" + phone_jpeg::Comment("y")
             + kEoi,
         kSoi + kTables + "\xFF\xFF" + kScanHeader + data + "\xFF" + kEoi},
        {"segments between scans, a line count after the first, standalone markers",
         kSoi + kTables + kScanHeader + data + Segment(0xDC, Bytes({0, 8})) + "\xFF\xD3" + exif + kScanHeader + data
             + phone_jpeg::Xmp() + kEoi,
         kSoi + kTables + kScanHeader + data + Segment(0xDC, Bytes({0, 8})) + "\xFF\xD3" + kScanHeader + data + kEoi},
        {"no end-of-image marker: copied to the end", kSoi + exif + kTables + kScanHeader + data,
         kSoi + kTables + kScanHeader + data},
        {"a last 0xFF in the data", kSoi + exif + kTables + kScanHeader + data + "\xFF",
         kSoi + kTables + kScanHeader + data + "\xFF"},
        {"cut inside a table: the rest as it is", kSoi + exif + kTables + Segment(0xDB, "abc").substr(0, 5),
         kSoi + kTables + Segment(0xDB, "abc").substr(0, 5)},
        {"cut inside a segment that would be dropped: kept", kSoi + kTables + exif.substr(0, 30),
         kSoi + kTables + exif.substr(0, 30)},
        {"garbage where a marker belongs: the rest as it is", kSoi + exif + kTables + "junk" + exif + kEoi,
         kSoi + kTables + "junk" + exif + kEoi},
        {"a second start of image: the rest as it is", kSoi + kTables + kSoi + exif + kEoi,
         kSoi + kTables + kSoi + exif + kEoi},
        {"a scan before the frame header: the rest as the probe walks it",
         kSoi + exif + kScanHeader + data + exif + kTables + kEoi, kSoi + kScanHeader + data + exif + kTables + kEoi},
        {"fill bytes before the frame header: the rest as it is",
         kSoi + exif + kTables.substr(0, 69) + "\xFF" + kTables.substr(69) + exif + kEoi,
         kSoi + kTables.substr(0, 69) + "\xFF" + kTables.substr(69) + exif + kEoi},
        {"a segment that would join its neighbours into other tokens is kept",
         kSoi + kTables + kScanHeader + data + exif + "\xFF\xD0" + exif + "\xFF\xFF" + exif + std::string(1, '\0')
             + exif + "junk",
         kSoi + kTables + kScanHeader + data + exif + "\xFF\xD0" + exif + "\xFF\xFF" + exif + std::string(1, '\0')
             + exif + "junk"},
        {"identifiers decide among APP0, APP2 and APP14, short segments go",
         kSoi + Segment(0xE0, std::string("JFIF\0\1\2", 7)) + Segment(0xE0, "JFIF") + Segment(0xEE, "Adobe")
             + Segment(0xEE, "Adob") + Segment(0xE2, std::string("ICC_PROFILE\0", 12)) + Segment(0xE2, "ICC_PROFILE")
             + Segment(0xE3, "") + Segment(0xFE, "") + kTables + kEoi,
         kSoi + Segment(0xE0, std::string("JFIF\0\1\2", 7)) + Segment(0xEE, "Adobe")
             + Segment(0xE2, std::string("ICC_PROFILE\0", 12)) + kTables + kEoi},
        {"not a JPEG: unchanged", "GIF89a" + exif, "GIF89a" + exif},
        {"empty", "", ""},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(SameBytes(Strip(dir, row.input), row.expected));
    }
}

// Pieces larger than the walker's block and the output's buffer, at offsets that fall across
// both, with markers straddling block ends.
TEST(JpegStripper, LargePiecesCrossEveryBoundary)
{
    std::string data;
    for (size_t i = 0; data.size() < 1'300'000; ++i)
        data += i % 331 == 0 ? std::string("\xFF\x00", 2) : i % 997 == 0 ? "\xFF\xD5" : std::string(1, char(i % 251));
    const std::string kept = Segment(0xE2, "ICC_PROFILE" + std::string(65000, '\0'));
    std::string input = kSoi, expected = kSoi;
    for (int k = 0; k < 5; ++k) {
        const std::string droppedApp = Segment(0xE1, std::string(30001 + k * 7919, 'x'));
        input += droppedApp + kept;
        expected += kept;
    }
    input += kTables + kScanHeader + data + kEoi + std::string(200'000, '\xFF');
    expected += kTables + kScanHeader + data + kEoi;
    TempDir dir;
    // The output's buffer empty, nearly full, and with only a few bytes of room.
    for (const size_t before : {0, 512 * 1024 - 3000, 512 * 1024 - 10}) {
        SCOPED_TRACE(before);
        EXPECT_TRUE(SameBytes(Strip(dir, input, std::string(before, '%')), expected));
    }
}

TEST(JpegStripper, FileCutShortWhileCopyingIsTheInputsFailure)
{
    TempDir dir;
    const std::string path = dir.Write("in.jpg", kSoi + kTables + kScanHeader + std::string(400'000, '\x11') + kEoi);
    posixfile::InputFile in;
    posixfile::OutputFile out;
    ASSERT_TRUE(in.Open(path));
    ASSERT_EQ(out.Open(dir.File("out.bin"), {}), posixfile::OutputFile::OpenResult::Opened);
    ASSERT_EQ(truncate(path.c_str(), 1000), 0);
    EXPECT_EQ(jpeg2pdf::CopyJpegStripped(in, out), -1);
    EXPECT_TRUE(out.Failure().inInput);
    EXPECT_EQ(out.Failure().systemError, 0);
}
