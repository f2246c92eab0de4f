// SPDX-License-Identifier: GPL-2.0-or-later
#include "DecodeJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

namespace {

struct ThrowingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void JumpOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ThrowingErrorManager*>(cinfo->err)->jump, 1);
}

// Decodes `bytes` into `colour` (JCS_UNKNOWN: as stored); throws std::runtime_error when libjpeg cannot,
// or when RGB is asked of a file with neither 3 components nor 1.
RgbImage Decode(const std::string& bytes, J_COLOR_SPACE colour)
{
    jpeg_decompress_struct cinfo{};
    ThrowingErrorManager err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = JumpOnError;
    RgbImage image;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        throw std::runtime_error("cannot decode JPEG");
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    if (colour == JCS_RGB && cinfo.num_components != 3 && cinfo.num_components != 1)
        longjmp(err.jump, 1);
    cinfo.out_color_space = colour == JCS_UNKNOWN ? cinfo.jpeg_color_space : colour;
    jpeg_start_decompress(&cinfo);
    image.width = static_cast<int>(cinfo.output_width);
    image.height = static_cast<int>(cinfo.output_height);
    const size_t row = static_cast<size_t>(cinfo.output_width) * cinfo.output_components;
    image.pixels.resize(row * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW at = &image.pixels[cinfo.output_scanline * row];
        jpeg_read_scanlines(&cinfo, &at, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return image;
}

}  // namespace

RgbImage DecodeJpegToRgb(const std::string& bytes)
{
    return Decode(bytes, JCS_RGB);
}

std::vector<unsigned char> DecodeJpegSamples(const std::string& bytes)
{
    return Decode(bytes, JCS_UNKNOWN).pixels;
}

RgbImage ReadPpm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    RgbImage image;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();  // the single whitespace byte before the samples
    if (!in || magic != "P6" || maxValue != 255 || image.width <= 0 || image.height <= 0)
        throw std::runtime_error("not a binary PPM: " + path);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
    if (!in)
        throw std::runtime_error("PPM cut short: " + path);
    return image;
}
