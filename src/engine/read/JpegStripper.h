// SPDX-License-Identifier: GPL-2.0-or-later
// A JPEG file copied without what leaves its decoded picture unchanged: application segments
// other than JFIF, ICC_PROFILE and Adobe (those change how the picture is decoded), comments, and
// every byte after the end-of-image marker that closes the picture (motion-photo videos, secondary
// images, padding). Tables and entropy-coded data are copied byte for byte.
#pragma once

#include <cstdint>

#include "InputFile.h"
#include "OutputFile.h"

namespace jpeg2pdf {

// Writes the stripped copy of the first jpeg.Size() bytes of `jpeg` at the output's position and
// returns how many bytes it wrote; -1 when a read or a write failed (out.Failure() says which;
// inInput with 0 when the file became shorter). The file is read once, front to back, straight
// into the output's buffer (no memory of its own), and not beyond the end-of-image marker;
// dropped segments are skipped unread.
// Whatever the walk does not understand is kept: from the first byte that is neither a marker
// nor a whole segment (a file cut short, garbage, a scan before the frame header) the rest of the
// file is copied unchanged, and a segment is dropped only where a marker follows it, so nothing
// joins its neighbours into other tokens. Before the first baseline or progressive frame header
// only whole segments are walked, exactly as the frame probe walks them, so the copy carries the
// same frame header first.
int64_t CopyJpegStripped(const posixfile::InputFile& jpeg, posixfile::OutputFile& out);

}  // namespace jpeg2pdf
