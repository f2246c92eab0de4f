// SPDX-License-Identifier: GPL-2.0-or-later
// A PNG picture's pixels decoded with libpng, row by row, split into the samples PDF takes (grey,
// RGB or palette indices, packed as the file packs them) and an alpha row: the file's alpha
// channel, its palette's transparency per index, or its key colour made opaque or transparent.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "PixelRows.h"

namespace jpeg2pdf {

// The most bytes a decoder may hold at once: a row, or a whole interlaced picture.
constexpr size_t kMostDecodedBytes = size_t {1} << 30;

// The bytes decoding holds at once for a PNG of this header: its raw rows' bytes (all interleaved
// channels), one row's, or all of them when interlaced.
size_t PngDecodedBytes(int32_t width, int32_t height, int bitDepth, int colourType, bool interlaced);

// Opens the file at `path` and starts decoding it as `format` says. Null with `problem` set when
// the file cannot be opened, or its header no longer gives the depth, size and colours of
// `format` (ChangedSinceRead).
std::unique_ptr<PixelRows> OpenPngPixels(const std::string& path, const PixelFormat& format, EntryProblem& problem);

}  // namespace jpeg2pdf
