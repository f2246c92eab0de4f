// SPDX-License-Identifier: GPL-2.0-or-later
// A Tiff page's CCITT data as a single-page TIFF file whose one strip is the data itself.
#pragma once

#include <cstdint>
#include <string>

#include "PdfPictures.h"

namespace extract {

// Writes page `page`'s picture (a Tiff page) to `fd`, a new empty file: compression 4 (Group 4)
// for /K < 0, else 3 (Group 3, with Group3Options saying 2-D coding for /K > 0 and fill bits for
// /EncodedByteAlign), fill order 1, photometric 0 (white is zero: the coded black runs shown
// black) unless the page shows them white (/BlackIs1 true, or /Decode [1 0]), then 1; the strip is
// the stream's bytes. The file is then read back row by row (through /proc/self/fd): data that
// does not decode to the picture's rows is Unreadable. A failed write is Unreadable too, with its
// errno in `writeError` (0 otherwise).
PipeOutcome WriteTiff(const PdfPictures& document, int page, int fd, int& writeError);

// Silences libtiff's messages to standard error, for good: a failure is told by what its calls
// return.
void QuietTiff();

}  // namespace extract
