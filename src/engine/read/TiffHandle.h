// SPDX-License-Identifier: GPL-2.0-or-later
// A TIFF file opened with libtiff over the file layer: reads go through InputFile::ReadAt, nothing
// is mapped or written, libtiff's warnings are dropped and its first error kept (never printed),
// strip tables are read only where asked for, and no single allocation exceeds kMostTiffAllocation.
#pragma once

#include <tiffio.h>

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>

#include "EntryProblem.h"
#include "InputFile.h"

namespace jpeg2pdf {

class TiffHandle {
public:
    explicit TiffHandle(const posixfile::InputFile& file) : file_(file) { }
    ~TiffHandle();
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    // Reads the header and the first directory; false with Error() saying why.
    bool Open();
    TIFF* Tif() const { return tif_; }
    const posixfile::InputFile& File() const { return file_; }
    // libtiff's first error since the last ClearError, "" when none.
    const std::string& Error() const { return error_; }
    void ClearError() { error_.clear(); }

private:
    static int OnError(TIFF*, void* handle, const char* module, const char* format, va_list arguments);
    static int OnWarning(TIFF*, void*, const char*, const char*, va_list);
    static tmsize_t Read(thandle_t handle, void* buffer, tmsize_t size);
    static tmsize_t Write(thandle_t, void*, tmsize_t);
    static toff_t Seek(thandle_t handle, toff_t offset, int whence);
    static int Close(thandle_t);
    static toff_t Size(thandle_t handle);
    static int Map(thandle_t, void**, toff_t*);
    static void Unmap(thandle_t, void*, toff_t);

    const posixfile::InputFile& file_;
    TIFF* tif_ = nullptr;
    uint64_t position_ = 0;
    std::string error_;
};

// One TIFF file kept open from one of its pages to the next: libtiff 4.5 walks the whole chain of
// a new handle's directories to find one by its offset, so a file opened again for each page of
// a long file would cost the square of its pages.
class TiffFile {
public:
    // The handle at the directory that lies at `directory` in the file at `path`: the open one
    // when the path still names the same file at the same size, else the file opened anew. Null
    // with `problem` set (why it cannot be opened, or TiffDamaged) when it cannot be read.
    // `opened`, when the caller holds the path open, tells the file without opening it again.
    TiffHandle* Directory(const std::string& path, uint64_t directory, EntryProblem& problem,
                          const posixfile::InputFile* opened = nullptr);

private:
    std::string path_;
    std::unique_ptr<posixfile::InputFile> file_;
    std::unique_ptr<TiffHandle> tiff_;
};

}  // namespace jpeg2pdf
