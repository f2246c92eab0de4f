// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffRows.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <vector>

#include "BlockReducer.h"

namespace ink {

namespace {

// The largest picture read: more pixels than a page of this many would be a damaged header.
constexpr double kMostPixels = 1e9;
// What libtiff may allocate at once for one picture.
constexpr tmsize_t kMostAllocation = 256 << 20;

int OnError(TIFF*, void* message, const char*, const char* format, va_list args)
{
    auto& text = *static_cast<std::string*>(message);
    if (text.empty()) {
        char line[256];
        std::vsnprintf(line, sizeof line, format, args);
        text = line;
    }
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

// The directories that are pages: all but reduced-resolution images.
int PageCount(TIFF* tif)
{
    int pages = 0;
    do {
        uint32_t type = 0;
        if (!TIFFGetField(tif, TIFFTAG_SUBFILETYPE, &type) || (type & FILETYPE_REDUCEDIMAGE) == 0)
            ++pages;
    } while (pages < 2 && TIFFReadDirectory(tif));
    return pages;
}

// Samples of one row, `bits` each, high bits first, as 8-bit grey; MinIsWhite turned over.
void GreyRow(const uint8_t* row, uint32_t width, int bits, bool minIsWhite, uint8_t* grey)
{
    for (uint32_t x = 0; x < width; ++x) {
        unsigned value;
        if (bits == 8)
            value = row[x];
        else if (bits == 16)
            value = row[2 * x] | row[2 * x + 1] << 8;  // host order: libtiff swaps to it
        else
            value = (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
        const unsigned level = value * 255 / ((1u << bits) - 1);
        grey[x] = static_cast<uint8_t>(minIsWhite ? 255 - level : level);
    }
}

}  // namespace

bool ReadReducedTiff(const std::string& path, int eighths, ReducedPlane& plane, std::string& problem)
{
    std::string message;
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
    if (!options) {
        problem = "out of memory";
        return false;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMostAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &message);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, nullptr);
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpenExt(path.c_str(), "r", options.get()));
    const auto fail = [&](const std::string& why) {
        problem = "TIFF: " + (why.empty() ? message : why);
        return false;
    };
    if (!tif)
        return fail("");
    if (PageCount(tif.get()) != 1)
        return fail("a file of several pages, which are kept");
    TIFFSetDirectory(tif.get(), 0);
    uint32_t type = 0;
    while (TIFFGetField(tif.get(), TIFFTAG_SUBFILETYPE, &type) && (type & FILETYPE_REDUCEDIMAGE) != 0)
        if (!TIFFReadDirectory(tif.get()))
            return fail("");
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = PHOTOMETRIC_MINISWHITE;
    if (width == 0 || height == 0 || double(width) * double(height) > kMostPixels)
        return fail("no pixels to measure, or too many");
    if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG) {
        TIFFSetField(tif.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        photometric = PHOTOMETRIC_RGB;
    }
    const bool grey = (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK) && samples == 1
        && (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16);
    const bool rgb = photometric == PHOTOMETRIC_RGB && samples == 3 && bits == 8;
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    const bool palette = photometric == PHOTOMETRIC_PALETTE && samples == 1 && bits <= 8
        && TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &red, &green, &blue);
    if (TIFFIsTiled(tif.get()) || planar != PLANARCONFIG_CONTIG || !(grey || rgb || palette))
        return fail("a picture not read row by row here, which is kept");
    std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tif.get())));
    std::vector<uint8_t> luma(width);
    if (row.empty())
        return fail("");
    BlockReducer reducer(width, height, eighths, plane);
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif.get(), row.data(), y, 0) < 0)
            return fail("");
        if (grey) {
            GreyRow(row.data(), width, bits, photometric == PHOTOMETRIC_MINISWHITE, luma.data());
        } else if (rgb) {
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t* p = row.data() + 3 * size_t(x);
                luma[x] = static_cast<uint8_t>((299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000);
            }
        } else {
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned index = bits == 8 ? row[x] : (row[x * bits / 8] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
                luma[x] = static_cast<uint8_t>(
                    (299u * (red[index] >> 8) + 587u * (green[index] >> 8) + 114u * (blue[index] >> 8) + 500) / 1000);
            }
        }
        reducer.Add(luma.data());
    }
    return true;
}

}  // namespace ink
