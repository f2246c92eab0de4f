// SPDX-License-Identifier: GPL-2.0-or-later
// The probe reads a JPEG's density from its JFIF APP0 segment, else from Exif IFD0, and takes
// what is missing, zero or absurd as not stated.
#include <gtest/gtest.h>

#include "FrameHeaderBytes.h"
#include "JpegFrameProbe.h"
#include "JpegSegments.h"
#include "MakeJpeg.h"
#include "TempDir.h"

using namespace engine_test;

namespace {

ExifFields Resolution(uint32_t x, uint32_t y, int unit = 0, uint32_t denominator = 1)
{
    ExifFields f;
    f.hasResolution = true;
    f.xResolution = {x, denominator};
    f.yResolution = {y, denominator};
    f.hasResolutionUnit = unit != 0;
    f.resolutionUnit = unit;
    return f;
}

ExifFields BigEndian(ExifFields f)
{
    f.bigEndian = true;
    return f;
}

ExifFields Oriented(ExifFields f, int orientation)
{
    f.hasOrientation = true;
    f.orientation = orientation;
    return f;
}

}  // namespace

TEST(PixelDensity, ReadsJfifElseExifElseNothing)
{
    const std::string xmp = MarkerSegment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0<x/>", 33));
    struct DensityCase {
        const char* name;
        std::vector<std::string> segments;
        double x, y;
        int orientation = 1;
        bool encoderJfif = false;  // the encoder's own JFIF APP0 (unit 0, 1:1) after the segments
    };
    const std::vector<DensityCase> cases = {
        {"JFIF per inch", {JfifSegment(1, 300, 300)}, 300, 300},
        {"JFIF per cm", {JfifSegment(2, 118, 118)}, 299.72, 299.72},
        {"JFIF x and y differ", {JfifSegment(1, 300, 150)}, 300, 150},
        {"JFIF before Exif", {JfifSegment(1, 200, 200), ExifSegment(Resolution(72, 72))}, 200, 200},
        {"JFIF after Exif still first", {ExifSegment(Resolution(72, 72)), JfifSegment(1, 200, 200)}, 200, 200},
        {"the first JFIF counts", {JfifSegment(1, 200, 200), JfifSegment(1, 400, 400)}, 200, 200},
        {"JFIF unit 0 falls back to Exif", {JfifSegment(0, 1, 1), ExifSegment(Resolution(240, 240, 2))}, 240, 240},
        {"the encoder's JFIF states none", {}, 0, 0, 1, true},
        {"JFIF unit 0 and no Exif", {JfifSegment(0, 300, 300)}, 0, 0},
        {"JFIF unit 3", {JfifSegment(3, 300, 300)}, 0, 0},
        {"JFIF zero falls back to Exif", {JfifSegment(1, 0, 0), ExifSegment(Resolution(96, 96))}, 96, 96},
        {"JFIF zero y", {JfifSegment(1, 300, 0)}, 0, 0},
        {"JFIF absurd per cm", {JfifSegment(2, 60000, 60000)}, 0, 0},
        {"JFIF largest per inch", {JfifSegment(1, 65535, 65535)}, 65535, 65535},
        {"Exif per inch", {ExifSegment(Resolution(72, 72, 2))}, 72, 72},
        {"Exif per cm", {ExifSegment(Resolution(100, 100, 3))}, 254, 254},
        {"Exif unit absent means inch", {ExifSegment(Resolution(300, 300))}, 300, 300},
        {"Exif unit none", {ExifSegment(Resolution(300, 300, 1))}, 0, 0},
        {"Exif unit 4", {ExifSegment(Resolution(300, 300, 4))}, 0, 0},
        {"Exif big-endian", {ExifSegment(BigEndian(Resolution(350, 350, 2)))}, 350, 350},
        {"Exif fractions", {ExifSegment(Resolution(601, 601, 2, 2))}, 300.5, 300.5},
        {"Exif x and y differ", {ExifSegment(Resolution(300, 600))}, 300, 600},
        {"Exif zero", {ExifSegment(Resolution(0, 0))}, 0, 0},
        {"Exif zero denominator", {ExifSegment(Resolution(300, 300, 2, 0))}, 0, 0},
        {"Exif absurd", {ExifSegment(Resolution(200000, 200000))}, 0, 0},
        {"Exif absurd per cm", {ExifSegment(Resolution(50000, 50000, 3))}, 0, 0},
        {"Exif absurd y only", {ExifSegment(Resolution(300, 100001))}, 0, 0},
        {"Exif without resolution", {ExifSegment(Oriented({}, 6))}, 0, 0, 6},
        {"Exif with orientation", {ExifSegment(Oriented(Resolution(300, 300), 8))}, 300, 300, 8},
        {"Exif after XMP", {xmp, ExifSegment(Resolution(150, 150))}, 150, 150},
        {"only the first Exif counts", {ExifSegment(Oriented({}, 3)), ExifSegment(Resolution(150, 150))}, 0, 0, 3},
        {"nothing stated", {}, 0, 0},
    };
    TempDir dir;
    for (const DensityCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string jpeg = MakeJpeg({.leadingSegments = c.segments, .jfifHeader = c.encoderJfif});
        jpeg2pdf::ProbeRequest request;
        request.density = request.orientation = true;
        jpeg2pdf::ProbeOutcome outcome;
        jpeg2pdf::ProbeJpegFile(dir.Write("density.jpg", jpeg), request, outcome);
        ASSERT_EQ(outcome.problem.refusal, jpeg2pdf::EntryRefusal::None);
        EXPECT_DOUBLE_EQ(outcome.density.x, c.x);
        EXPECT_DOUBLE_EQ(outcome.density.y, c.y);
        EXPECT_EQ(outcome.orientation, c.orientation);
    }
}

TEST(PixelDensity, IsReadOnlyOnRequestAndBeforeTheFrame)
{
    const std::string jfif = JfifSegment(1, 300, 300);
    const std::vector<std::pair<std::string, bool>> cases = {
        {Bytes({0xFF, 0xD8}) + jfif + FrameHeader(8, 8, 3), false},
        {Bytes({0xFF, 0xD8}) + FrameHeader(8, 8, 3) + jfif, true},
    };
    TempDir dir;
    for (const auto& [bytes, requested] : cases) {
        jpeg2pdf::ProbeRequest request;
        request.density = requested;
        jpeg2pdf::ProbeOutcome outcome;
        jpeg2pdf::ProbeJpegFile(dir.Write("density.jpg", bytes), request, outcome);
        EXPECT_EQ(outcome.problem.refusal, jpeg2pdf::EntryRefusal::None);
        EXPECT_EQ(outcome.density.x, 0);
        EXPECT_EQ(outcome.density.y, 0);
    }
}
