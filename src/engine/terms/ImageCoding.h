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
    // Pixels decoded while the page is written (see PixelRows.h) and compressed again with Flate,
    // without loss; their alpha, if any, becomes a soft mask of its own.
    Pixels,
};

struct ImageCoding {
    ImageCodingKind kind = ImageCodingKind::Dct;
    int bitsPerComponent = 8;
    int colours = 3;  // samples per pixel in the stream: 1 grey or palette index, 3 RGB, 4 CMYK
    std::vector<uint8_t> palette;  // RGB triples: the samples are indices into it; empty: none
    std::vector<FileRange> ranges;  // PngFlate: the IDAT payloads, in file order
    // Pixels: the bits of each alpha sample, 8 or 16 (the soft mask's depth); 0: no alpha.
    int alphaBits = 0;
    // A colour-key mask: the samples (or palette indices) shown transparent, as pairs of the least
    // and the most value of each component in turn; empty: none.
    std::vector<int> keyMask;
    // Pixels: the file's format, which tells the decoder.
    PictureKind source = PictureKind::Unknown;
    // Which picture of its file the page shows: 0 for the first (a TIFF directory's index).
    int picture = 0;
    int64_t Length() const
    {
        int64_t sum = 0;
        for (const FileRange& range : ranges)
            sum += range.length;
        return sum;
    }
};

}  // namespace jpeg2pdf
