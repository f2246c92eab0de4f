// SPDX-License-Identifier: GPL-2.0-or-later
#include "PagePicture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <leptonica/allheaders.h>

// libjpeg reports a fatal error by calling error_exit, which jumps back to the setjmp in Decode. The
// frames between hold only plain C data; the C++ objects live in the caller.

namespace ocr {

void PixDeleter::operator()(Pix* pix) const { pixDestroy(&pix); }

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer converts to ours
    std::jmp_buf jump;
};

extern "C" void JumpBack(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }
// Damaged data is decoded as far as it goes: a partly grey picture still has words to find.
extern "C" void StayQuiet(j_common_ptr, int) {}

struct Decoder {
    jpeg_decompress_struct cinfo {};
    ErrorManager err {};
    std::FILE* file = nullptr;
    ~Decoder()
    {
        jpeg_destroy_decompress(&cinfo);
        if (file)
            std::fclose(file);
    }
};

// Adobe CMYK JPEGs store inverted ink (255 = none); others store plain ink.
void CmykToRgb(const JSAMPLE* in, unsigned char* out, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        const int flip = inverted ? 0 : 255;
        const int k = in[3] ^ flip;
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<unsigned char>(((in[c] ^ flip) * k + 127) / 255);
    }
}

// Decodes into a new Pix (8 bpp grey or 32 bpp RGB). Returns false with `error` set on a fatal error.
bool Decode(Decoder& d, PagePicture& picture, PixPtr& pix)
{
    if (setjmp(d.err.jump)) {
        char text[JMSG_LENGTH_MAX];
        d.err.pub.format_message(reinterpret_cast<j_common_ptr>(&d.cinfo), text);
        picture.error = text;
        return false;
    }
    jpeg_create_decompress(&d.cinfo);
    jpeg_stdio_src(&d.cinfo, d.file);
    jpeg_read_header(&d.cinfo, TRUE);
    jpeg_decompress_struct& cinfo = d.cinfo;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grey = cinfo.num_components == 1;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    while (cinfo.scale_denom < 8
           && (double(cinfo.image_width) * cinfo.image_height > kMaxDecodedPixels * cinfo.scale_denom * cinfo.scale_denom
               || std::max(cinfo.image_width, cinfo.image_height) > kMaxDecodedSide * cinfo.scale_denom))
        cinfo.scale_denom *= 2;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION width = cinfo.output_width;
    if (width > JDIMENSION(kMaxDecodedSide) || cinfo.output_height > JDIMENSION(kMaxDecodedSide)) {
        picture.error = "too large to recognise";
        return false;
    }
    picture.scale = cinfo.scale_denom;
    if (cinfo.saw_JFIF_marker && cinfo.X_density > 0 && (cinfo.density_unit == 1 || cinfo.density_unit == 2))
        picture.dotsPerInch = static_cast<int>((cinfo.density_unit == 2 ? cinfo.X_density * 2.54 : cinfo.X_density)
                                               / picture.scale + 0.5);
    pix.reset(pixCreate(int(width), int(cinfo.output_height), grey ? 8 : 32));
    if (!pix) {
        picture.error = "out of memory";
        return false;
    }
    std::vector<JSAMPLE> row(size_t(width) * cinfo.output_components);
    std::vector<unsigned char> rgb(cmyk ? size_t(width) * 3 : 0);
    JSAMPROW rows[] = {row.data()};
    l_uint32* data = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    while (cinfo.output_scanline < cinfo.output_height) {
        l_uint32* line = data + size_t(cinfo.output_scanline) * wordsPerLine;
        jpeg_read_scanlines(&cinfo, rows, 1);
        const unsigned char* samples = row.data();
        if (cmyk) {
            CmykToRgb(row.data(), rgb.data(), width, cinfo.saw_Adobe_marker);
            samples = rgb.data();
        }
        for (JDIMENSION x = 0; x < width; ++x) {
            if (grey)
                SET_DATA_BYTE(line, x, samples[x]);
            else
                composeRGBPixel(samples[3 * x], samples[3 * x + 1], samples[3 * x + 2], line + x);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
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

PagePicture DecodePagePicture(const std::string& path, int orientation)
{
    PagePicture picture;
    Decoder decoder;
    decoder.cinfo.err = jpeg_std_error(&decoder.err.pub);
    decoder.err.pub.error_exit = JumpBack;
    decoder.err.pub.emit_message = StayQuiet;
    decoder.file = std::fopen(path.c_str(), "rb");
    if (!decoder.file) {
        picture.error = "cannot be opened again";
        return picture;
    }
    PixPtr decoded;
    if (!Decode(decoder, picture, decoded))
        return picture;
    picture.pix = Turned(std::move(decoded), orientation);
    if (!picture.pix)
        picture.error = "out of memory";
    return picture;
}

}  // namespace ocr
