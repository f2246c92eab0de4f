// SPDX-License-Identifier: GPL-2.0-or-later
#include "MakeJpeg.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

std::string MakeJpeg(const JpegRecipe& r)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);

    cinfo.image_width = static_cast<JDIMENSION>(r.width);
    cinfo.image_height = static_cast<JDIMENSION>(r.height);
    cinfo.input_components = r.components;
    cinfo.in_color_space = r.components == 1 ? JCS_GRAYSCALE : r.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, r.quality, TRUE);
    if (r.components == 4) {
        jpeg_set_colorspace(&cinfo, JCS_CMYK);
        cinfo.write_Adobe_marker = TRUE;
    }
    cinfo.write_JFIF_header = cinfo.write_JFIF_header && r.jfifHeader;
    if (r.progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.restart_in_rows = r.restartInterval;
    jpeg_start_compress(&cinfo, TRUE);

    std::vector<JSAMPLE> row(static_cast<size_t>(r.width) * r.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < r.width; ++x) {
            int red = r.red, green = r.green, blue = r.blue;
            if (r.gradient) {
                red = r.width > 1 ? x * 255 / (r.width - 1) : 0;
                green = r.height > 1 ? y * 255 / (r.height - 1) : 0;
                blue = 255 - red;
            }
            if (r.checkerboard)
                red = green = blue = (x + y) % 2 == 0 ? 0 : 255;
            if (r.pixel) {
                const std::array<uint8_t, 3> colour = r.pixel(x, y);
                red = colour[0], green = colour[1], blue = colour[2];
            }
            JSAMPLE* px = &row[static_cast<size_t>(x) * r.components];
            if (r.components == 1) {
                px[0] = static_cast<JSAMPLE>((red * 299 + green * 587 + blue * 114) / 1000);
            } else if (r.components == 3) {
                px[0] = static_cast<JSAMPLE>(red);
                px[1] = static_cast<JSAMPLE>(green);
                px[2] = static_cast<JSAMPLE>(blue);
            } else {
                // Adobe CMYK JPEGs store inverted values: 255 means no ink.
                px[0] = static_cast<JSAMPLE>(red);
                px[1] = static_cast<JSAMPLE>(green);
                px[2] = static_cast<JSAMPLE>(blue);
                px[3] = 255;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    free(buffer);
    std::string leading;
    for (const std::string& segment : r.leadingSegments)
        leading += segment;
    return bytes.insert(2, leading);
}
