// SPDX-License-Identifier: GPL-2.0-or-later
#include "PictureKindSniffer.h"

#include <cstring>
#include <initializer_list>

namespace jpeg2pdf {

namespace {

bool StartsWith(const uint8_t* bytes, size_t size, const char* signature, size_t length, size_t at = 0)
{
    return size >= at + length && std::memcmp(bytes + at, signature, length) == 0;
}

// An ISO base media file ("....ftyp" and a brand): HEIF stills and AVIF share the container.
PictureKind MediaFileKind(const uint8_t* bytes, size_t size)
{
    if (!StartsWith(bytes, size, "ftyp", 4, 4) || size < 12)
        return PictureKind::Unknown;
    for (const char* brand : {"heic", "heix", "heim", "heis", "mif1", "msf1"})
        if (StartsWith(bytes, size, brand, 4, 8))
            return PictureKind::Heic;
    for (const char* brand : {"avif", "avis"})
        if (StartsWith(bytes, size, brand, 4, 8))
            return PictureKind::Avif;
    return PictureKind::Unknown;
}

}  // namespace

PictureKind KindFromSignature(const uint8_t* bytes, size_t size)
{
    if (StartsWith(bytes, size, "\xFF\xD8\xFF", 3))
        return PictureKind::Jpeg;
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1A\n", 8))
        return PictureKind::Png;
    if (StartsWith(bytes, size, "II*\0", 4) || StartsWith(bytes, size, "MM\0*", 4)
        || StartsWith(bytes, size, "II+\0", 4) || StartsWith(bytes, size, "MM\0+", 4))
        return PictureKind::Tiff;
    if (StartsWith(bytes, size, "GIF87a", 6) || StartsWith(bytes, size, "GIF89a", 6))
        return PictureKind::Gif;
    if (StartsWith(bytes, size, "RIFF", 4) && StartsWith(bytes, size, "WEBP", 4, 8))
        return PictureKind::WebP;
    if (StartsWith(bytes, size, "BM", 2) && size >= 14)
        return PictureKind::Bmp;
    if (StartsWith(bytes, size, "\0\0\0\x0CjP  \r\n\x87\n", 12) || StartsWith(bytes, size, "\xFF\x4F\xFF\x51", 4))
        return PictureKind::Jpeg2000;
    if (StartsWith(bytes, size, "\xFF\x0A", 2) || StartsWith(bytes, size, "\0\0\0\x0CJXL \r\n\x87\n", 12))
        return PictureKind::JpegXl;
    if (StartsWith(bytes, size, "%PDF-", 5))
        return PictureKind::Pdf;
    return MediaFileKind(bytes, size);
}

const char* KindName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Jpeg: return "a JPEG picture";
    case PictureKind::Png: return "a PNG picture";
    case PictureKind::Tiff: return "a TIFF picture";
    case PictureKind::Gif: return "a GIF picture";
    case PictureKind::WebP: return "a WebP picture";
    case PictureKind::Heic: return "a HEIC picture";
    case PictureKind::Avif: return "an AVIF picture";
    case PictureKind::Bmp: return "a BMP picture";
    case PictureKind::Jpeg2000: return "a JPEG 2000 picture";
    case PictureKind::JpegXl: return "a JPEG XL picture";
    case PictureKind::Pdf: return "a PDF document";
    case PictureKind::Unknown: break;
    }
    return "";
}

}  // namespace jpeg2pdf
