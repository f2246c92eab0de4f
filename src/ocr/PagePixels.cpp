// SPDX-License-Identifier: GPL-2.0-or-later
#include "PagePixels.h"

#include <cstdio>
#include <utility>

#include <leptonica/allheaders.h>

#include "JpegDecoder.h"

namespace ocr {

void PixDeleter::operator()(Pix* pix) const { pixDestroy(&pix); }

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// One decoded row (grey or RGB samples) into a Pix line of the same depth.
void CopyRow(const uint8_t* samples, int width, bool grey, l_uint32* line)
{
    if (grey) {
        for (int x = 0; x < width; ++x)
            SET_DATA_BYTE(line, x, samples[x]);
        return;
    }
    // As composeRGBPixel writes each pixel, without a library call per pixel.
    for (int x = 0; x < width; ++x, samples += 3)
        line[x] = static_cast<l_uint32>(samples[0]) << L_RED_SHIFT | static_cast<l_uint32>(samples[1]) << L_GREEN_SHIFT
                | static_cast<l_uint32>(samples[2]) << L_BLUE_SHIFT;
}

// Decodes into a new Pix (8 bpp grey or 32 bpp RGB). Returns null with `error` set when it cannot.
// Damaged data is decoded as far as it goes: a partly grey picture still has words to find.
PixPtr Decode(std::FILE* file, PagePixels& page)
{
    jpegdecode::JpegDecoder decoder({.file = file}, {});
    if (!decoder.ReadHeader() || !decoder.Start(jpegdecode::ScaleRule::Within(kMaxDecodedPixels, kMaxDecodedSide))) {
        page.error = decoder.Failure().message;
        return nullptr;
    }
    page.width = decoder.Header().width, page.height = decoder.Header().height;
    const jpegdecode::JpegOutput& output = decoder.Output();
    if (output.width > kMaxDecodedSide || output.height > kMaxDecodedSide) {
        page.error = "too large to recognise";
        return nullptr;
    }
    page.scale = 8.0 / output.eighths;
    if (decoder.Header().jfifDotsPerInch > 0)
        page.dotsPerInch = static_cast<int>(decoder.Header().jfifDotsPerInch / page.scale + 0.5);
    const bool grey = output.components == 1;
    PixPtr pix(pixCreate(output.width, output.height, grey ? 8 : 32));
    if (!pix) {
        page.error = "out of memory";
        return nullptr;
    }
    l_uint32* data = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    const int width = output.width;
    const bool rowsRead = decoder.ReadRows([=](int y, const uint8_t* samples) {
        CopyRow(samples, width, grey, data + static_cast<size_t>(y) * wordsPerLine);
    });
    if (!rowsRead || !decoder.Finish()) {
        page.error = decoder.Failure().message;
        return nullptr;
    }
    page.incomplete = decoder.PictureIncomplete();
    return pix;
}

// The file's format as the image library tells it from its first bytes; the file is left at its start.
l_int32 FileFormat(std::FILE* file)
{
    l_int32 format = IFF_UNKNOWN;
    if (findFileFormatStream(file, &format) != 0)
        format = IFF_UNKNOWN;
    std::rewind(file);
    return format;
}

bool IsTiffFormat(l_int32 format)
{
    switch (format) {
    case IFF_TIFF:
    case IFF_TIFF_PACKBITS:
    case IFF_TIFF_RLE:
    case IFF_TIFF_G3:
    case IFF_TIFF_G4:
    case IFF_TIFF_LZW:
    case IFF_TIFF_ZIP:
    case IFF_TIFF_JPEG:
        return true;
    default:
        return false;
    }
}

// A picture the image library decoded whole, made 8 bpp grey or 32 bpp RGB (a palette to grey or
// RGB, 1 bit and 16 bits to 8, alpha composited on white); a picture above kMaxDecodedPixels halved until within.
PixPtr Normalised(PixPtr pix, PagePixels& page)
{
    if (pixGetColormap(pix.get()))
        pix.reset(pixRemoveColormap(pix.get(), REMOVE_CMAP_BASED_ON_SRC));
    // The image library keeps alpha (its own, or a palette's transparency) as a fourth sample,
    // which recognition would ignore, reading the colours under it: the page shows the picture
    // on white, and so is it read.
    if (pix && pixGetDepth(pix.get()) == 32 && pixGetSpp(pix.get()) == 4)
        pix.reset(pixAlphaBlendUniform(pix.get(), 0xFFFFFF00));
    if (pix && pixGetDepth(pix.get()) != 8 && pixGetDepth(pix.get()) != 32)
        pix.reset(pixConvertTo8(pix.get(), 0));
    while (pix && (static_cast<double>(pixGetWidth(pix.get())) * pixGetHeight(pix.get()) > kMaxDecodedPixels
                   || pixGetWidth(pix.get()) > kMaxDecodedSide || pixGetHeight(pix.get()) > kMaxDecodedSide)) {
        pix.reset(pixScaleAreaMap2(pix.get()));
        page.scale *= 2;
    }
    if (!pix) {
        page.error = "out of memory";
        return nullptr;
    }
    // The image library reads pHYs (per metre) and TIFF resolutions as per inch.
    if (pixGetXRes(pix.get()) > 0)
        page.dotsPerInch = static_cast<int>(pixGetXRes(pix.get()) / page.scale + 0.5);
    return pix;
}

// A PNG decoded whole by the image library. Refused unread when its header gives more than 4
// times kMaxDecodedPixels, so memory stays bounded.
PixPtr DecodePng(std::FILE* file, PagePixels& page)
{
    l_int32 width = 0, height = 0;
    if (freadHeaderPng(file, &width, &height, nullptr, nullptr, nullptr) != 0) {
        page.error = "PNG header unreadable";
        return nullptr;
    }
    std::rewind(file);
    page.width = width, page.height = height;
    if (static_cast<double>(width) * height > 4 * kMaxDecodedPixels) {
        page.error = "too large to recognise";
        return nullptr;
    }
    PixPtr pix(pixReadStreamPng(file));
    if (!pix) {
        page.error = "PNG data could not be decoded";
        return nullptr;
    }
    return Normalised(std::move(pix), page);
}

// The TIFF page whose directory lies at `directory`, decoded whole by the image library.
PixPtr DecodeTiffPage(const std::string& path, uint64_t directory, PagePixels& page)
{
    size_t offset = directory;
    PixPtr pix(pixReadFromMultipageTiff(path.c_str(), &offset));
    if (!pix) {
        page.error = "TIFF data could not be decoded";
        return nullptr;
    }
    page.width = pixGetWidth(pix.get()), page.height = pixGetHeight(pix.get());
    return Normalised(std::move(pix), page);
}

// The stored picture turned as Exif orientation `orientation` shows it.
PixPtr Turned(PixPtr pix, int orientation)
{
    Pix* p = pix.get();
    switch (orientation) {
    case 2:
        return PixPtr(pixFlipLR(nullptr, p));
    case 3:
        return PixPtr(pixRotateOrth(p, 2));
    case 4:
        return PixPtr(pixFlipTB(nullptr, p));
    case 5: {  // transposed: a quarter turn clockwise, then mirrored left to right
        PixPtr turned(pixRotateOrth(p, 1));
        return PixPtr(turned ? pixFlipLR(nullptr, turned.get()) : nullptr);
    }
    case 6:
        return PixPtr(pixRotateOrth(p, 1));
    case 7: {  // transversed: a quarter turn anticlockwise, then mirrored left to right
        PixPtr turned(pixRotateOrth(p, 3));
        return PixPtr(turned ? pixFlipLR(nullptr, turned.get()) : nullptr);
    }
    case 8:
        return PixPtr(pixRotateOrth(p, 3));
    default:
        return pix;
    }
}

}  // namespace

PagePixels DecodePagePixels(const std::string& path, int orientation, uint64_t tiffDirectory)
{
    PagePixels page;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        page.error = "cannot be opened again";
        return page;
    }
    const l_int32 format = FileFormat(file.get());
    PixPtr decoded = format == IFF_PNG  ? DecodePng(file.get(), page)
        : IsTiffFormat(format)          ? DecodeTiffPage(path, tiffDirectory, page)
                                        : Decode(file.get(), page);
    if (orientation >= 5)  // turned a quarter
        std::swap(page.width, page.height);
    if (!decoded)
        return page;
    page.pix = Turned(std::move(decoded), orientation);
    if (!page.pix)
        page.error = "out of memory";
    return page;
}

bool HoldsPngOrTiff(const std::string& path)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    const l_int32 format = FileFormat(file.get());
    return format == IFF_PNG || IsTiffFormat(format);
}

}  // namespace ocr
