// SPDX-License-Identifier: GPL-2.0-or-later
// CCITT data that cannot be copied as one stream (several strips or tiles, modified Huffman rows,
// Group 3 with uncompressed runs) decoded by libtiff row by row and encoded again as one Group 4
// stream, the pixels exactly as they were: libtiff writes a one-strip Group 4 TIFF in memory, and
// its strip is the stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TiffHandle.h"

namespace jpeg2pdf {

// The Group 4 data of the bilevel page at the directory `in` is at, coded with the file's 0 and
// 1 bits as they are. False with `error` (libtiff's words) when it cannot be decoded whole.
bool EncodeTiffPageAsGroup4(TiffHandle& in, std::vector<uint8_t>& encoded, std::string& error);

}  // namespace jpeg2pdf
