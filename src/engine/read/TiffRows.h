// SPDX-License-Identifier: GPL-2.0-or-later
// A TIFF page's rows decoded by libtiff one at a time, top to bottom, as the file stores their
// samples (interleaved, whole bytes a row, 16-bit samples in the machine's order): from strips a
// row at a time, from tiles a row of tiles at a time, so memory holds at most one row of tiles.
#pragma once

#include <cstdint>
#include <vector>

#include "TiffHandle.h"

namespace jpeg2pdf {

class TiffRows {
public:
    // Rows of the current directory of `tiff`.
    explicit TiffRows(TiffHandle& tiff) : tiff_(tiff) { }
    // False when the directory's layout cannot be read row by row (see the handle's Error()).
    bool Begin();
    size_t RowBytes() const { return rowBytes_; }
    // The next row into `row` (RowBytes() bytes); false at damage (see the handle's Error()).
    bool Next(uint8_t* row);

private:
    bool ReadTileRow();

    TiffHandle& tiff_;
    size_t rowBytes_ = 0;
    uint32_t row_ = 0;
    uint32_t height_ = 0;
    bool tiled_ = false;
    uint32_t tileWidth_ = 0, tileLength_ = 0;
    size_t tileRowBytes_ = 0;
    size_t tileBytes_ = 0;
    std::vector<uint8_t> tiles_;  // one row of tiles, each tile's rows in turn
};

}  // namespace jpeg2pdf
