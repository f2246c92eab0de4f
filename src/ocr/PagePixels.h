// SPDX-License-Identifier: GPL-2.0-or-later
// A page's JPEG decoded for recognition: grey or RGB (CMYK converted, for recognition only), turned
// as the page shows it. Very large pictures are decoded at a smaller DCT scale, so memory stays
// bounded whatever the file says.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct Pix;

namespace ocr {

struct PixDeleter {
    void operator()(Pix* pix) const;
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

struct PagePixels {
    PixPtr pix;  // null when the file cannot be decoded; `error` says why
    std::string error;
    // The data stopped before the picture was whole (cut short or damaged): only the part decoded
    // holds the picture, the rest is the decoder's plain grey.
    bool incomplete = false;
    double scale = 1;  // page pixels per decoded pixel (1, 2, 4 or 8)
    int dotsPerInch = 0;  // the file's JFIF density in the decoded pixels; 0 where it states none
    int width = 0, height = 0;  // the picture's own size as the page shows it; 0 when its header is unread
};

// `orientation` is the Exif orientation (1 to 8) the page shows its picture in. A PNG file (told
// from its first bytes) is decoded whole by the image library, at 8 bits a sample; so is a TIFF
// file's page whose image file directory lies at `tiffDirectory`.
PagePixels DecodePagePixels(const std::string& path, int orientation, uint64_t tiffDirectory = 0);

// Whether the file is a PNG or TIFF picture (its first bytes say so), which the image library decodes.
bool HoldsPngOrTiff(const std::string& path);

// Pixels above which a picture is decoded at half, a quarter or an eighth of its size: more than a
// 600 dpi A4 scan, and within what Leptonica and the recogniser accept on a side.
constexpr double kMaxDecodedPixels = 40e6;
constexpr int kMaxDecodedSide = 30000;

}  // namespace ocr
