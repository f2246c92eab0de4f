// SPDX-License-Identifier: GPL-2.0-or-later
// Leafbind export engine: puts JPEG files unchanged into one PDF, one page per image.
// Plain C++ and POSIX; no function here throws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "JpegFrameInfo.h"

namespace jpeg2pdf {

// Export result codes. A result of 0 or more is the index of the first unusable list entry.
constexpr int kExportSaved = -2;          // the PDF was written completely and closed
constexpr int kExportFailedWriting = -3;  // failed while writing; a file at the output path is left as it was
constexpr int kExportCannotCreate = -1;   // output path empty, not creatable, locked, one of the inputs; or empty list

// Walks the marker segments up to the first frame header. True for an 8-bit baseline or
// progressive frame with 3 or 4 components; width and height may be overwritten even when false.
bool ReadJpegFrameInfo(const std::string& path, int32_t& width, int32_t& height, bool& isCmyk) noexcept;

// Called after each page's image has been written: pages written so far, total pages.
using ExportProgress = std::function<void(int pagesWritten, int pageCount)>;

// Validates every entry, then writes the PDF. Returns one of the codes above or an entry index.
int ConvertJpegListToPdf(const std::vector<std::string>& paths, const std::string& outputPath,
                         const ExportProgress& progress = {}) noexcept;

}  // namespace jpeg2pdf
