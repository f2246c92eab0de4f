// SPDX-License-Identifier: GPL-2.0-or-later
// A picture's pixels decoded while its page is written, one row at a time, top to bottom: the
// writer compresses each row as it comes, so memory holds a row (or what the decoder itself
// needs) whatever the picture's size. The export layer hands the writer a PixelSource; readers
// of each file format implement PixelRows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "EntryProblem.h"
#include "ImageCoding.h"

namespace jpeg2pdf {

// What a page's decoded pixels are: the coding's depth, colours and palette, at this size.
struct PixelFormat {
    int32_t width = 0;
    int32_t height = 0;
    int bitsPerComponent = 8;  // 1, 2, 4, 8 or 16
    int colours = 1;  // samples a pixel: 1 grey or palette index, 3 RGB, 4 CMYK
    int alphaBits = 0;  // 0: no alpha; else 8 or 16

    // Bytes of one row of samples as PDF packs them: whole bytes a row, high bits first, 16-bit
    // samples big-endian.
    size_t SampleRowBytes() const
    {
        return (static_cast<size_t>(width) * static_cast<size_t>(colours) * static_cast<size_t>(bitsPerComponent) + 7) / 8;
    }
    size_t AlphaRowBytes() const { return static_cast<size_t>(width) * static_cast<size_t>(alphaBits) / 8; }
};

inline PixelFormat PixelFormatOf(const ImageCoding& coding, int32_t width, int32_t height)
{
    return {width, height, coding.bitsPerComponent, coding.colours, coding.alphaBits};
}

class PixelRows {
public:
    virtual ~PixelRows() = default;
    // The next row: its samples into `samples` (SampleRowBytes) and, where the format has alpha,
    // its alpha into `alpha` (AlphaRowBytes). Either may be null when the caller does not want
    // it. False when the picture cannot be decoded any further (see Problem).
    virtual bool NextRow(uint8_t* samples, uint8_t* alpha) = 0;
    // Why NextRow failed: PixelsDamaged, or ChangedSinceRead when the file no longer holds the
    // picture that was read at validation.
    virtual EntryProblem Problem() const = 0;
};

// Opens the decoded rows of the picture of the file at `path` that `coding` describes, in
// `format`. Null with `problem` set when it cannot (the file cannot be opened again, has changed,
// or the pictures of its kind are not decoded here).
class PixelSource {
public:
    virtual ~PixelSource() = default;
    virtual std::unique_ptr<PixelRows> Open(const std::string& path, const ImageCoding& coding,
                                            const PixelFormat& format, EntryProblem& problem) = 0;
};

}  // namespace jpeg2pdf
