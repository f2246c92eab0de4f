// SPDX-License-Identifier: GPL-2.0-or-later
// How a picture's samples are coded in its file, as plain data: the reader finds it, the plan
// carries it, the writer writes exactly it.
#pragma once

#include <cstdint>
#include <vector>

#include "PictureKind.h"

namespace jpeg2pdf {

// A run of bytes in a file.
struct FileRange {
    int64_t offset = 0;
    int64_t length = 0;
    bool operator==(const FileRange&) const = default;
};

enum class ImageCodingKind {
    Dct,  // a JPEG file, its bytes copied as a /DCTDecode stream
    PngFlate,  // a PNG file's IDAT payloads joined: zlib data of rows each led by a filter byte
    // A TIFF page's one strip (or tile) copied as it is:
    TiffFax,  // CCITT Group 3 or 4 data, as `fax` says, its bits reversed in each byte on request
    TiffDct,  // JPEG data: `head` (the JPEGTables without their end marker), then the strip without its start marker
    TiffFlate,  // zlib data of rows, with horizontal differencing when `predictor` is 2
    // CCITT data that is not one stream (strips, tiles, modified Huffman rows) decoded as the page is
    // written and encoded again as one Group 4 stream of the same pixels, as `fax` says.
    TiffFaxRecoded,
    // Pixels decoded while the page is written (see PixelRows.h) and compressed again with Flate,
    // without loss; their alpha, if any, becomes a soft mask of its own.
    Pixels,
};

// How CCITT data is coded: the parameters of its decoding filter.
struct FaxCoding {
    int k = -1;  // -1 Group 4; 0 Group 3 one-dimensional; 1 Group 3 two-dimensional
    bool blackIs1 = false;  // a 1 bit in the decoded rows is black (the file's black is zero)
    bool encodedByteAlign = false;  // each row's code begins on a byte (fill bits before each end-of-line)
    bool endOfLine = false;  // every row begins with an end-of-line code
    bool operator==(const FaxCoding&) const = default;
};

struct ImageCoding {
    ImageCodingKind kind = ImageCodingKind::Dct;
    int bitsPerComponent = 8;
    int colours = 3;  // samples per pixel in the stream: 1 grey or palette index, 3 RGB, 4 CMYK
    std::vector<uint8_t> palette;  // RGB triples: the samples are indices into it; empty: none
    std::vector<FileRange> ranges;  // PngFlate: the IDAT payloads, in file order; TIFF: the strip's bytes
    // TIFF pages:
    uint64_t directory = 0;  // where the page's image file directory lies in the file
    std::vector<uint8_t> head;  // bytes written before the ranges
    bool reverseBits = false;  // each byte's bits reversed as it is copied (fill order 2 to 1)
    int predictor = 1;  // 2: each sample is stored as its difference from the one to its left
    bool inverted = false;  // a sample of 0 is white (/Decode [1 0])
    bool colourTransformOff = false;  // RGB samples in a JPEG that readers must not take as YCbCr
    FaxCoding fax;
    // Pixels: the bits of each alpha sample, 8 or 16 (the soft mask's depth); 0: no alpha.
    int alphaBits = 0;
    // A colour-key mask: the samples (or palette indices) shown transparent, as pairs of the least
    // and the most value of each component in turn; empty: none.
    std::vector<int> keyMask;
    // Pixels: the file's format, which tells the decoder.
    PictureKind source = PictureKind::Unknown;
    // Which picture of its file the page shows: 0 for the first (a TIFF directory's index).
    int picture = 0;
    bool operator==(const ImageCoding&) const = default;
    int64_t Length() const
    {
        int64_t sum = static_cast<int64_t>(head.size());
        for (const FileRange& range : ranges)
            sum += range.length;
        return sum;
    }
};

}  // namespace jpeg2pdf
