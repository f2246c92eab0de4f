// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffRows.h"

#include <algorithm>
#include <cstring>

#include "TiffPages.h"

namespace jpeg2pdf {

bool TiffRows::Begin()
{
    TIFF* tif = tiff_.Tif();
    uint32_t width = 0;
    uint16_t bits = 1, samples = 1;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height_);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    rowBytes_ = (static_cast<size_t>(width) * samples * bits + 7) / 8;
    tiled_ = TIFFIsTiled(tif) != 0;
    if (!tiled_) {
        // libtiff's own row size, which the scanline reads fill.
        return static_cast<size_t>(TIFFScanlineSize64(tif)) == rowBytes_ && rowBytes_ > 0;
    }
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth_);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength_);
    tileRowBytes_ = static_cast<size_t>(TIFFTileRowSize64(tif));
    const uint64_t tileBytes = TIFFTileSize64(tif);
    const uint64_t across = (uint64_t {width} + tileWidth_ - 1) / std::max<uint32_t>(tileWidth_, 1);
    // Tiles begin on whole bytes: the picture's row is the tiles' rows side by side, cut at its width.
    if (tileWidth_ == 0 || tileLength_ == 0 || tileRowBytes_ == 0 || (uint64_t {tileWidth_} * samples * bits) % 8 != 0
        || tileBytes != tileRowBytes_ * tileLength_ || across * tileBytes > static_cast<uint64_t>(kMostTiffAllocation))
        return false;
    tileBytes_ = static_cast<size_t>(tileBytes);
    tiles_.resize(static_cast<size_t>(across * tileBytes));
    return true;
}

bool TiffRows::ReadTileRow()
{
    const size_t across = tiles_.size() / tileBytes_;
    for (size_t i = 0; i < across; ++i) {
        const uint32_t x = static_cast<uint32_t>(i) * tileWidth_;
        if (TIFFReadTile(tiff_.Tif(), tiles_.data() + i * tileBytes_, x, row_, 0, 0) < 0)
            return false;
    }
    return true;
}

bool TiffRows::Next(uint8_t* row)
{
    if (row_ >= height_)
        return false;
    if (!tiled_) {
        if (TIFFReadScanline(tiff_.Tif(), row, row_, 0) < 0)
            return false;
        ++row_;
        return true;
    }
    if (row_ % tileLength_ == 0 && !ReadTileRow())
        return false;
    const size_t within = row_ % tileLength_;
    for (size_t at = 0, i = 0; at < rowBytes_; at += tileRowBytes_, ++i) {
        const uint8_t* tileRow = tiles_.data() + i * tileBytes_ + within * tileRowBytes_;
        std::memcpy(row + at, tileRow, std::min(tileRowBytes_, rowBytes_ - at));
    }
    ++row_;
    return true;
}

}  // namespace jpeg2pdf
