// SPDX-License-Identifier: GPL-2.0-or-later
// --auto-orient: one picture stored in each of the eight Exif orientations renders as the same
// upright picture on every page.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "DecodeJpeg.h"
#include "MakeJpeg.h"
#include "RunProgram.h"
#include "TempDir.h"

namespace {

constexpr int kWidth = 64, kHeight = 32;  // upright; quadrants of 32 x 16 line up with the encoder's blocks

struct Rgb {
    int r, g, b;
};
// Four colours no mirror or turn of the picture can map onto each other.
const Rgb kQuadrants[4] = {{220, 30, 30}, {30, 200, 40}, {30, 40, 220}, {230, 220, 40}};

Rgb Upright(int x, int y) { return kQuadrants[(y < kHeight / 2 ? 0 : 2) + (x < kWidth / 2 ? 0 : 1)]; }

// Where the stored pixel (column c, row r) of a w x h file appears in the upright picture, as
// Exif defines the eight values by where row 0 and column 0 of the stored picture go.
void Shown(int orientation, int c, int r, int w, int h, int& x, int& y)
{
    switch (orientation) {
    case 1:
        x = c, y = r;
        break;  // row 0 top, column 0 left
    case 2:
        x = w - 1 - c, y = r;
        break;  // row 0 top, column 0 right
    case 3:
        x = w - 1 - c, y = h - 1 - r;
        break;  // row 0 bottom, column 0 right
    case 4:
        x = c, y = h - 1 - r;
        break;  // row 0 bottom, column 0 left
    case 5:
        x = r, y = c;
        break;  // row 0 left, column 0 top
    case 6:
        x = h - 1 - r, y = c;
        break;  // row 0 right, column 0 top
    case 7:
        x = h - 1 - r, y = w - 1 - c;
        break;  // row 0 right, column 0 bottom
    case 8:
        x = r, y = w - 1 - c;
        break;  // row 0 left, column 0 bottom
    }
}

std::string EncodeStored(int orientation)
{
    const bool transposed = orientation >= 5;
    const int w = transposed ? kHeight : kWidth, h = transposed ? kWidth : kHeight;
    return MakeJpeg({.width = w, .height = h, .quality = 95, .pixel = [=](int c, int r) {
                         int x = 0, y = 0;
                         Shown(orientation, c, r, w, h, x, y);
                         const Rgb colour = Upright(x, y);
                         return std::array<uint8_t, 3> {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b)};
                     }});
}

// An Exif APP1 segment holding only the orientation, in either byte order.
std::string ExifSegment(int orientation, bool bigEndian)
{
    const auto word = [&](int v) {
        return bigEndian ? std::string {char(v >> 8), char(v & 0xFF)} : std::string {char(v & 0xFF), char(v >> 8)};
    };
    std::string payload = std::string("Exif\0\0", 6) + (bigEndian ? "MM" : "II") + word(42) + word(bigEndian ? 0 : 8)
        + word(bigEndian ? 8 : 0) + word(1) + word(0x0112) + word(3) + word(bigEndian ? 0 : 1) + word(bigEndian ? 1 : 0)
        + word(orientation) + word(0) + std::string(4, '\0');
    const int length = static_cast<int>(payload.size()) + 2;
    return std::string {'\xFF', '\xE1', char(length >> 8), char(length & 0xFF)} + payload;
}

}  // namespace

TEST(AutoOrient, EveryOrientationRendersUpright)
{
    TempDir dir;
    std::vector<std::string> args = {"--auto-orient", "-o", dir.File("upright.pdf")};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        std::string jpeg = EncodeStored(orientation);
        jpeg.insert(2, ExifSegment(orientation, orientation % 2 == 0));
        args.push_back(dir.Write("o" + std::to_string(orientation) + ".jpg", jpeg));
    }
    const ProgramRun run = RunExportProgram(args);
    ASSERT_EQ(run.status, 0) << run.err;

    // One pixel per point.
    const std::string command = "pdftoppm -r 72 '" + dir.File("upright.pdf") + "' '" + dir.File("page") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int page = 1; page <= 8; ++page) {
        SCOPED_TRACE(page);
        const RgbImage render = ReadPpm(dir.File("page-" + std::to_string(page) + ".ppm"));
        ASSERT_EQ(render.width, kWidth);
        ASSERT_EQ(render.height, kHeight);
        // Each quadrant's inside, away from the edges where the encoder blurs the colours.
        int worst = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (std::abs(x - kWidth / 2) < 4 || std::abs(y - kHeight / 2) < 4)
                    continue;
                const unsigned char* px = &render.pixels[(static_cast<size_t>(y) * kWidth + x) * 3];
                const Rgb want = Upright(x, y);
                worst = std::max({worst, std::abs(px[0] - want.r), std::abs(px[1] - want.g), std::abs(px[2] - want.b)});
            }
        }
        EXPECT_LE(worst, 24);
    }
}
