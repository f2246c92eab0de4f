// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffGroup4.h"

#include <cstring>
#include <memory>
#include <vector>

#include "TiffRows.h"

namespace jpeg2pdf {

namespace {

// A TIFF file written into memory.
struct MemoryFile {
    std::string bytes;
    uint64_t position = 0;

    static tmsize_t Read(thandle_t handle, void* buffer, tmsize_t size)
    {
        auto* file = static_cast<MemoryFile*>(handle);
        if (size < 0 || file->position >= file->bytes.size())
            return 0;
        const size_t count = std::min<size_t>(static_cast<size_t>(size), file->bytes.size() - file->position);
        std::memcpy(buffer, file->bytes.data() + file->position, count);
        file->position += count;
        return static_cast<tmsize_t>(count);
    }
    static tmsize_t Write(thandle_t handle, void* buffer, tmsize_t size)
    {
        auto* file = static_cast<MemoryFile*>(handle);
        if (size < 0)
            return -1;
        const size_t end = static_cast<size_t>(file->position) + static_cast<size_t>(size);
        if (file->bytes.size() < end)
            file->bytes.resize(end);
        std::memcpy(file->bytes.data() + file->position, buffer, static_cast<size_t>(size));
        file->position = end;
        return size;
    }
    static toff_t Seek(thandle_t handle, toff_t offset, int whence)
    {
        auto* file = static_cast<MemoryFile*>(handle);
        file->position = whence == SEEK_SET ? offset
            : whence == SEEK_CUR            ? file->position + offset
                                            : file->bytes.size() + offset;
        return file->position;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size(); }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) { }
};

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

bool EncodeTiffPageAsGroup4(TiffHandle& in, std::vector<uint8_t>& encoded, std::string& error)
{
    TiffRows rows(in);
    if (!rows.Begin()) {
        error = in.Error().empty() ? "its rows cannot be read" : in.Error();
        return false;
    }
    uint32_t width = 0, height = 0;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(in.Tif(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in.Tif(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(in.Tif(), TIFFTAG_PHOTOMETRIC, &photometric);

    MemoryFile memory;
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
    if (!options) {
        error = "out of memory";
        return false;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    std::unique_ptr<TIFF, void (*)(TIFF*)> out(
        TIFFClientOpenExt("", "w", &memory, MemoryFile::Read, MemoryFile::Write, MemoryFile::Seek, MemoryFile::Close,
                          MemoryFile::Size, MemoryFile::Map, MemoryFile::Unmap, options.get()),
        TIFFClose);
    if (!out) {
        error = "out of memory";
        return false;
    }
    TIFF* tif = out.get();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    std::vector<uint8_t> row(rows.RowBytes());
    for (uint32_t y = 0; y < height; ++y) {
        if (!rows.Next(row.data())) {
            error = in.Error().empty() ? "its rows end early" : in.Error();
            return false;
        }
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) {
            error = "its rows cannot be encoded again";
            return false;
        }
    }
    if (!TIFFFlushData(tif)) {
        error = "its rows cannot be encoded again";
        return false;
    }
    const uint64_t offset = TIFFGetStrileOffset(tif, 0), length = TIFFGetStrileByteCount(tif, 0);
    if (offset > memory.bytes.size() || length > memory.bytes.size() - offset) {
        error = "its rows cannot be encoded again";
        return false;
    }
    encoded.assign(memory.bytes.begin() + static_cast<ptrdiff_t>(offset),
                   memory.bytes.begin() + static_cast<ptrdiff_t>(offset + length));
    return true;
}

}  // namespace jpeg2pdf
