// SPDX-License-Identifier: GPL-2.0-or-later
// A TIFF page's pixels decoded by libtiff while the page is written (LZW, PackBits, uncompressed,
// Deflate or JPEG data that cannot be copied as it is), row by row as PDF packs them: 16-bit samples
// big-endian, photometric 0 turned so that 0 is black, an alpha sample apart for the soft mask.
#pragma once

#include <memory>
#include <string>

#include "PixelRows.h"
#include "TiffHandle.h"

namespace jpeg2pdf {

// The rows read through `file`, which must outlive them. Null with `problem` set when the file
// cannot be opened again, no longer holds the page that was read, or its rows cannot be read.
std::unique_ptr<PixelRows> OpenTiffPixels(TiffFile& file, const std::string& path, const ImageCoding& coding,
                                          const PixelFormat& format, EntryProblem& problem);

}  // namespace jpeg2pdf
