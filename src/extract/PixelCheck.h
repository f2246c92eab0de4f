// SPDX-License-Identifier: GPL-2.0-or-later
// A page's picture checked against a PNG or TIFF file, pixel by pixel: both decoded a row at a
// time (the page by libqpdf, or for CCITT data by libtiff; the file by libpng or libtiff) and
// their samples compared, nothing composited; and where the page's compressed data is what the
// file holds (PNG IDAT, a TIFF's one strip), those bytes too.
#pragma once

#include <cstdint>
#include <string>

#include "PdfPictures.h"

namespace extract {

// What a file's first bytes say it is.
enum class FileKind { Jpeg, Png, Tiff, Other };
FileKind KindOfFile(int fd);

struct PixelCheck {
    enum class Result {
        Identical,  // the same pixels, and the page's data is the file's compressed data byte for byte
        SamePixels,  // the same pixels, compressed otherwise
        Differs,  // `how` says where or how
        FileUnreadable,  // `how` says why (a damaged file, one of a kind not compared)
        PageUnreadable,  // the page's stream cannot be read or decoded whole
        TooLarge,  // a picture that must be decoded whole passes kMostHeldBytes
    };
    Result result = Result::Identical;
    std::string how;
};

// Compares page `page` (a Png or Tiff page) with the PNG or TIFF file open at `fd` (its first
// directory). Throws what libqpdf throws for a damaged document.
PixelCheck CheckPixels(const PdfPictures& document, int page, int fd);

}  // namespace extract
