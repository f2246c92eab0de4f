// SPDX-License-Identifier: GPL-2.0-or-later
// What the merged decoder gives the recogniser that its own decoder never did: a progressive page
// it reads at 1/8 comes from the first (DC) scan alone, in bounded memory, padded where the data
// stops as libjpeg pads it; and JPEGs read from memory as well as from a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "FlatJpeg.h"
#include "JpegDecoder.h"
#include "MakeJpeg.h"
#include "TempDir.h"

namespace {

using Rows = std::vector<std::vector<unsigned char>>;

// libjpeg's own decode of a grey JPEG at 1/8 scale, every scan read: the oracle.
Rows LibjpegEighth(const std::string& jpeg)
{
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr err {};
    cinfo.err = jpeg_std_error(&err);
    err.emit_message = [](j_common_ptr, int) {};  // the cut-off files warn of their end
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    cinfo.out_color_space = JCS_GRAYSCALE;
    cinfo.do_block_smoothing = FALSE;  // the coefficients as decoded, not guessed from neighbours
    jpeg_start_decompress(&cinfo);
    Rows rows(cinfo.output_height, std::vector<unsigned char>(cinfo.output_width));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rows[cinfo.output_scanline].data();
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_destroy_decompress(&cinfo);
    return rows;
}

// The file cut halfway through the entropy-coded data of its first scan.
std::string CutInFirstScan(const std::string& jpeg)
{
    const size_t sos = jpeg.find("\xFF\xDA");
    if (sos == std::string::npos)
        throw std::runtime_error("no scan");
    const size_t data = sos + 2 + (static_cast<unsigned char>(jpeg[sos + 2]) << 8 | static_cast<unsigned char>(jpeg[sos + 3]));
    size_t end = data;
    while (end + 1 < jpeg.size()
           && !(jpeg[end] == '\xFF' && jpeg[end + 1] != '\0' && (jpeg[end + 1] < '\xD0' || jpeg[end + 1] > '\xD7')))
        ++end;
    return jpeg.substr(0, data + (end - data) / 2);
}

struct Decoded {
    bool ok = false;
    std::string failure;
    jpegdecode::JpegOutput output;
    Rows rows;
};

Decoded Decode(const jpegdecode::JpegInput& input, const jpegdecode::DecoderSettings& settings,
               const jpegdecode::ScaleRule& rule)
{
    jpegdecode::JpegDecoder decoder(input, settings);
    Decoded d;
    d.ok = decoder.ReadHeader() && decoder.Start(rule);
    if (d.ok) {
        d.output = decoder.Output();
        const size_t rowBytes = size_t(d.output.width) * size_t(d.output.components);
        d.ok = decoder.ReadRows([&](int y, const uint8_t* samples) {
            EXPECT_EQ(y, int(d.rows.size()));
            d.rows.emplace_back(samples, samples + rowBytes);
        }) && decoder.Finish();
    }
    d.failure = decoder.Failure().message;
    return d;
}

// A budget of one pixel: the rule's smallest scale, 1/8, whatever the picture.
const jpegdecode::ScaleRule kEighth = jpegdecode::ScaleRule::Within(1, 1);
// The recogniser's budget (at most 40 million pixels and 30,000 on a side).
const jpegdecode::ScaleRule kRecogniser = jpegdecode::ScaleRule::Within(40e6, 30000);
constexpr long kLimit = 256L * 1024 * 1024;

}  // namespace

TEST(ProgressiveEighth, RowsAsLibjpegShowsThem)
{
    // A grey ramp; libjpeg's simple progression sends every DC value at half precision first, so
    // the whole file's finer DC bits (in a later scan) move a sample by at most 1.
    const std::string ramp = MakeJpeg({.width = 1600, .height = 1200, .components = 1, .progressive = true, .gradient = true});
    const std::string cut = CutInFirstScan(ramp);
    ASSERT_LT(cut.size(), ramp.size() / 4) << "the cut falls in the first scan, not after it";
    TempDir dir;
    std::FILE* file = std::fopen(dir.Write("ramp.jpg", ramp).c_str(), "rb");
    ASSERT_NE(file, nullptr);

    struct Case {
        const char* name;
        const std::string* jpeg;
        bool fromFile;
        bool stopAtDataEnd;
        int tolerance;
        bool allRows;  // every row comes, the missing ones padded
    };
    const Case cases[] = {
        {"whole, from memory", &ramp, false, false, 1, true},
        {"whole, from a file", &ramp, true, false, 1, true},
        {"cut off, padded to the end as libjpeg pads", &cut, false, false, 0, true},
        {"cut off, stopped where the data stops", &cut, false, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rows expected = LibjpegEighth(*c.jpeg);
        jpegdecode::JpegInput input;
        if (c.fromFile)
            input.file = file;
        else
            input = {.bytes = reinterpret_cast<const unsigned char*>(c.jpeg->data()), .size = c.jpeg->size()};
        const Decoded got = Decode(input, {.stopAtDataEnd = c.stopAtDataEnd}, kEighth);
        ASSERT_TRUE(got.ok) << got.failure;
        EXPECT_EQ(got.output.eighths, 1);
        EXPECT_EQ(got.output.components, 1);
        ASSERT_EQ(got.output.width, 200);
        ASSERT_EQ(got.output.height, 150);
        if (c.allRows) {
            ASSERT_EQ(got.rows.size(), expected.size());
        } else {
            ASSERT_TRUE(got.rows.size() > 0 && got.rows.size() < expected.size()) << got.rows.size() << " rows";
        }
        // libjpeg finishes the block the data stops in from zero bits; the reader leaves it mid grey.
        int outside = 0;
        for (size_t y = 0; y < got.rows.size(); ++y)
            for (size_t x = 0; x < expected[y].size(); ++x)
                outside += std::abs(int(got.rows[y][x]) - int(expected[y][x])) > c.tolerance;
        EXPECT_LE(outside, c.jpeg == &cut ? 1 : 0);
        if (c.jpeg == &cut) {
            EXPECT_EQ(expected.back(), std::vector<unsigned char>(200, 128)) << "libjpeg pads a cut-off file with mid grey";
        }
    }
    std::fclose(file);
}

TEST(ProgressiveEighth, HugePageInBoundedMemory)
{
    // 22,500 x 33,300 grey: libjpeg would keep 1.5 GB of coefficients; the recogniser's budget
    // asks for 1/8, which the first scan alone gives within a quarter of a gigabyte.
    const std::string huge = MakeFlatGreyJpeg(22500, 33300, true);
    const std::string halves[] = {huge, huge.substr(0, huge.size() / 2)};
    for (const std::string& jpeg : halves) {
        SCOPED_TRACE(&jpeg == &halves[0] ? "whole" : "cut off halfway");
        const Decoded got = Decode({.bytes = reinterpret_cast<const unsigned char*>(jpeg.data()), .size = jpeg.size()},
                                   {.memoryLimit = kLimit}, kRecogniser);
        ASSERT_TRUE(got.ok) << got.failure;
        EXPECT_EQ(got.output.eighths, 1);
        ASSERT_EQ(got.output.width, 2813);
        ASSERT_EQ(got.output.height, 4163);
        ASSERT_EQ(got.rows.size(), 4163u);
        // Every sample is the fixture's 200 up to where the data stops, then libjpeg's mid grey.
        size_t y = 0;
        while (y < got.rows.size() && got.rows[y] == std::vector<unsigned char>(2813, 200))
            ++y;
        if (&jpeg == &halves[0]) {
            EXPECT_EQ(y, got.rows.size());
            continue;
        }
        EXPECT_GT(y, 1000u);
        ++y;  // the row the data stops in
        for (; y < got.rows.size(); ++y)
            ASSERT_EQ(got.rows[y], std::vector<unsigned char>(2813, 128)) << "row " << y;
    }
}
