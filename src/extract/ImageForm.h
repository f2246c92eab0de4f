// SPDX-License-Identifier: GPL-2.0-or-later
// What an image XObject's dictionary says of its samples, as far as giving them back as a PNG
// (pixels under Flate and the like) or a TIFF (CCITT fax data) goes, and why a picture is neither.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "PdfPictures.h"

namespace extract {

// Pictures wider or taller than this are no PNG or TIFF this program writes: libpng reads no more.
constexpr int kMostPixelsASide = 1000000;

struct ImageForm {
    enum class Kind {
        Other,  // neither: `refusal` says why
        Pixels,  // samples under filters libqpdf undoes (or none): a PNG
        Ccitt,  // CCITT fax data, the only filter: a TIFF with the data as its strip
    };
    Kind kind = Kind::Other;
    std::string refusal;  // Other: why, in the words a message uses ("a /DeviceCMYK colour space")
    int width = 0, height = 0;
    int depth = 0;  // bits per sample
    int colours = 0;  // samples of colour per pixel: 1 (grey, or an index) or 3
    bool indexed = false;
    std::vector<uint8_t> palette;  // indexed: RGB triples, one per index up to the highest
    QPDFObjectHandle profile;  // an ICCBased space's stream (an indexed space's base's), or null
    QPDFObjectHandle softMask;  // the picture's alpha, as large as the picture and as deep, or null
    bool alpha = false;  // softMask is there
    // A colour-key mask (/Mask array) as a PNG's tRNS payload, or empty: for an indexed picture one
    // alpha byte per index up to the highest the mask names (0 inside its ranges, 255 outside); for
    // grey or RGB the one key colour, 2 bytes a component, big-endian, at the picture's depth.
    std::vector<uint8_t> transparency;
    bool profiled = false;  // profile is there
    // Pixels: one Flate filter whose PNG predictors fit the picture: its data is a PNG's IDAT as it is.
    bool predictedFlate = false;
    // Ccitt: /K, and whether 1 bits stand for black as the page shows them (/BlackIs1, turned over by
    // /Decode [1 0]); with /EncodedByteAlign each row starts on a byte (Group 3 only).
    int k = 0;
    bool blackIs1 = false;
    bool byteAligned = false;

    int64_t RowBytes() const { return (static_cast<int64_t>(width) * colours * depth + 7) / 8; }
};

// Reads `image`'s dictionary, its palette and its soft mask's. Throws what libqpdf throws for a
// document it cannot read.
ImageForm ReadImageForm(QPDFObjectHandle image);

// A stream dictionary's filters as a list, whether /Filter holds one name or an array; and whether libqpdf
// undoes each of them (Flate, LZW, run length, the ASCII ones).
std::vector<QPDFObjectHandle> FilterList(QPDFObjectHandle dict);
bool IsGeneralizedFilter(QPDFObjectHandle filter);

}  // namespace extract
