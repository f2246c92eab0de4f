// SPDX-License-Identifier: GPL-2.0-or-later
#include "PngRows.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <optional>

#include "BlockReducer.h"

namespace ink {

namespace {

// The largest picture read: more pixels than a page of this many would be a damaged header.
constexpr double kMostPixels = 1e9;

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string message;
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

void OnError(png_structp png, png_const_charp text)
{
    static_cast<PngReader*>(png_get_error_ptr(png))->message = text;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) { }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ReadReducedPng(const std::string& path, int eighths, ReducedPlane& plane, std::string& problem)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rbe"));
    if (!file) {
        problem = "cannot be opened";
        return false;
    }
    PngReader reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, OnError, OnWarning);
    if (reader.png == nullptr || (reader.info = png_create_info_struct(reader.png)) == nullptr) {
        problem = "out of memory";
        return false;
    }
    // Declared before the jump point: what a longjmp leaves behind is destroyed on the way out.
    std::vector<uint8_t> row;
    std::optional<BlockReducer> reducer;
    if (setjmp(png_jmpbuf(reader.png))) {
        problem = "PNG: " + reader.message;
        return false;
    }
    png_init_io(reader.png, file.get());
    png_read_info(reader.png, reader.info);
    const png_uint_32 width = png_get_image_width(reader.png, reader.info);
    const png_uint_32 height = png_get_image_height(reader.png, reader.info);
    if (png_get_interlace_type(reader.png, reader.info) != PNG_INTERLACE_NONE) {
        problem = "interlaced PNG";
        return false;
    }
    // Transparency shows what lies under the page: such a picture is kept, never left out unseen.
    if ((png_get_color_type(reader.png, reader.info) & PNG_COLOR_MASK_ALPHA) != 0
        || png_get_valid(reader.png, reader.info, PNG_INFO_tRNS) != 0) {
        problem = "PNG with transparency";
        return false;
    }
    if (double(width) * double(height) > kMostPixels) {
        problem = "too many pixels to measure";
        return false;
    }
    // Every kind to 8-bit grey: palettes expanded, 16 bits cut to 8, RGB weighed as Rec. 601 luma
    // (as JFIF's Y of a JPEG).
    png_set_expand(reader.png);
    png_set_strip_16(reader.png);
    const int colour = png_get_color_type(reader.png, reader.info);
    if (colour & PNG_COLOR_MASK_COLOR)
        png_set_rgb_to_gray_fixed(reader.png, 1, 29900, 58700);
    png_read_update_info(reader.png, reader.info);
    if (png_get_channels(reader.png, reader.info) != 1) {
        problem = "PNG colour type not reduced to grey";
        return false;
    }
    row.resize(png_get_rowbytes(reader.png, reader.info));
    reducer.emplace(width, height, eighths, plane);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(reader.png, row.data(), nullptr);
        reducer->Add(row.data());
    }
    return true;
}

}  // namespace ink
