// SPDX-License-Identifier: GPL-2.0-or-later
// The probe puts together the ICC profile from a JPEG's APP2 chunks, and ignores, saying why,
// one that is damaged or does not fit the frame.
#include <gtest/gtest.h>

#include "FrameHeaderBytes.h"
#include "IccProfile.h"
#include "IccProfiles.h"
#include "JpegFrameProbe.h"
#include "JpegSegments.h"
#include "MakeJpeg.h"
#include "TempDir.h"

using namespace engine_test;

namespace {

const std::string kIgnored = "colour profile ignored: ";

// A real JPEG of `components` components with the given segments right after SOI.
std::string JpegWith(int components, std::vector<std::string> segments)
{
    return MakeJpeg({.components = components, .leadingSegments = std::move(segments)});
}

std::string Patched(std::string profile, size_t offset, const std::string& bytes)
{
    return profile.replace(offset, bytes.size(), bytes);
}

std::string BigEndian32(uint32_t v)
{
    return Bytes({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}

}  // namespace

TEST(IccProfile, ReassemblesChunksOrSaysWhyNot)
{
    const std::string rgb = AdobeRgbLikeProfile(), grey = GrayProfile(), cmyk = CmykProfile();
    ASSERT_GT(rgb.size(), 512u);  // three chunks of 256 bytes
    ASSERT_GT(cmyk.size(), 2 * kMostIccChunkBytes);  // three full segments
    const auto chunks = [](const std::string& profile, std::vector<int> order, size_t size = 256) {
        return IccChunkSegments(profile, size, order);
    };
    const auto plus = [](std::vector<std::string> segments, const std::string& extra) {
        segments.push_back(extra);
        return segments;
    };
    const std::string firstTag = rgb.substr(132, 4);
    const std::string mpf = MarkerSegment(0xE2, std::string("MPF\0II*\0", 8) + std::string(300, '\x11'));
    struct ProfileCase {
        const char* name;
        std::string jpeg;
        std::string profile;  // expected; empty when none
        std::string ignored;  // expected reason
    };
    const std::vector<ProfileCase> cases = {
        {"one segment", JpegWith(3, IccChunkSegments(rgb)), rgb, ""},
        {"in order", JpegWith(3, chunks(rgb, {1, 2, 3})), rgb, ""},
        {"out of order", JpegWith(3, chunks(rgb, {3, 1, 2})), rgb, ""},
        {"among other APP2 segments", JpegWith(3, plus(plus({mpf}, IccChunkSegments(rgb)[0]), mpf)), rgb, ""},
        {"no profile", JpegWith(3, {mpf}), "", ""},
        {"grey in a grey picture", JpegWith(1, IccChunkSegments(grey)), grey, ""},
        {"CMYK over 64 KB, chunks out of order", JpegWith(4, IccChunkSegments(cmyk, kMostIccChunkBytes, {2, 3, 1})),
         cmyk, ""},
        {"CMYK over 64 KB, a chunk missing", JpegWith(4, IccChunkSegments(cmyk, kMostIccChunkBytes, {3, 1})), "",
         kIgnored + "chunk 2 of 3 is missing"},
        {"missing", JpegWith(3, chunks(rgb, {1, 3})), "", kIgnored + "chunk 2 of 3 is missing"},
        {"the last missing", JpegWith(3, chunks(rgb, {2, 1})), "", kIgnored + "chunk 3 of 3 is missing"},
        {"duplicated", JpegWith(3, chunks(rgb, {1, 2, 2, 3})), "", kIgnored + "chunk 2 of 3 appears twice"},
        {"sequence 0", JpegWith(3, plus(chunks(rgb, {}), IccChunkSegment(0, 3, ""))), "",
         kIgnored + "chunk 0 of 3 is out of range"},
        {"sequence above the count", JpegWith(3, chunks(rgb, {1, 2, 4, 3})), "",
         kIgnored + "chunk 4 of 3 is out of range"},
        {"count 0", JpegWith(3, {IccChunkSegment(1, 0, rgb)}), "", kIgnored + "a chunk count of 0"},
        {"counts disagree",
         JpegWith(3, {IccChunkSegment(1, 2, rgb.substr(0, 300)), IccChunkSegment(2, 3, rgb.substr(300))}), "",
         kIgnored + "the chunks disagree on their count (2 and 3)"},
        {"chunk without its number", JpegWith(3, {MarkerSegment(0xE2, std::string("ICC_PROFILE\0\1", 13))}), "",
         kIgnored + "a chunk without its number"},
        {"a byte more than the header gives", JpegWith(3, IccChunkSegments(rgb + '\0')), "",
         kIgnored + "its header gives " + std::to_string(rgb.size()) + " bytes, its chunks hold "
             + std::to_string(rgb.size() + 1)},
        {"not an ICC header", JpegWith(3, IccChunkSegments(Patched(rgb, 36, "xxxx"))), "",
         kIgnored + "not an ICC profile"},
        {"shorter than a header", JpegWith(3, IccChunkSegments(BigEndian32(100) + std::string(96, 'a'))), "",
         kIgnored + "not an ICC profile"},
        {"tag table past the end", JpegWith(3, IccChunkSegments(Patched(rgb, 128, BigEndian32(1000)))), "",
         kIgnored + "its tag table runs past its end"},
        {"a tag past the end", JpegWith(3, IccChunkSegments(Patched(rgb, 136, BigEndian32(0xFFFFFFF0)))), "",
         kIgnored + "its tag '" + firstTag + "' runs past its end"},
        {"version 5", JpegWith(3, IccChunkSegments(Patched(rgb, 8, Bytes({5, 0x10})))), "",
         kIgnored + "version 5.1; PDF carries profiles up to version 4"},
        {"device link", JpegWith(3, IccChunkSegments(Patched(rgb, 12, "link"))), "",
         kIgnored + "a profile of class 'link' does not describe a picture's colours"},
        {"RGB in a grey picture", JpegWith(1, IccChunkSegments(rgb)), "",
         kIgnored + "an RGB profile does not fit a grey picture"},
        {"grey in an RGB picture", JpegWith(3, IccChunkSegments(grey)), "",
         kIgnored + "a grey profile does not fit an RGB picture"},
        {"RGB in a CMYK picture", JpegWith(4, IccChunkSegments(rgb)), "",
         kIgnored + "an RGB profile does not fit a CMYK picture"},
        {"Lab in an RGB picture", JpegWith(3, IccChunkSegments(Patched(rgb, 16, "Lab "))), "",
         kIgnored + "a 'Lab ' profile does not fit an RGB picture"},
        // The probe reads the headers before the frame only.
        {"after the frame header", Bytes({0xFF, 0xD8}) + FrameHeader(8, 8, 3) + IccChunkSegments(rgb)[0], "", ""},
    };
    TempDir dir;
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(c.name);
        jpeg2pdf::ProbeRequest request;
        request.profile = request.acceptGray = true;
        jpeg2pdf::ProbeOutcome outcome;
        jpeg2pdf::ProbeJpegFile(dir.Write("icc.jpg", c.jpeg), request, outcome);
        ASSERT_EQ(outcome.problem.refusal, jpeg2pdf::EntryRefusal::None);
        EXPECT_EQ(std::string(outcome.profile.begin(), outcome.profile.end()), c.profile);
        EXPECT_EQ(outcome.profileIgnored, c.ignored);
    }
    // Without the request the chunks are not read.
    jpeg2pdf::ProbeOutcome outcome;
    jpeg2pdf::ProbeJpegFile(dir.Write("icc.jpg", JpegWith(3, chunks(rgb, {1, 3}))), jpeg2pdf::ProbeRequest {}, outcome);
    EXPECT_TRUE(outcome.profile.empty());
    EXPECT_EQ(outcome.profileIgnored, "");
}

TEST(IccProfile, TellsTheVersionItsHeaderStates)
{
    const std::vector<std::tuple<std::string, int, int>> cases = {{SrgbProfile(2.1), 2, 1},
                                                                  {GrayProfile(4.3), 4, 3},
                                                                  {CmykProfile(3, 4.4), 4, 4},
                                                                  {std::string(127, '\4'), 0, 0}};
    for (const auto& [profile, major, minor] : cases) {
        const jpeg2pdf::IccVersion version
            = jpeg2pdf::ReadIccVersion(reinterpret_cast<const uint8_t*>(profile.data()), profile.size());
        EXPECT_EQ(version.major, major);
        EXPECT_EQ(version.minor, minor);
    }
}
