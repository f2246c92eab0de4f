// SPDX-License-Identifier: GPL-2.0-or-later
// A page's JPEG bytes checked against a JPEG file: the same bytes, the same picture with the
// file's metadata left out (as --strip-metadata writes it), or where they part; a page's pixels
// checked against a PNG or TIFF file (PixelCheck).
#pragma once

#include <cstdint>
#include <string>

#include "PdfPictures.h"

namespace extract {

struct PictureCheck {
    enum class Result {
        Identical,  // the same bytes; for pixels, the same pixels and compressed data
        MetadataRemoved,  // the page holds the file's stripped copy
        SamePixels,  // the same pixels, compressed otherwise
        Differs,  // at `differsAt`, or as `how` says
        FileUnreadable,  // systemError says why (0: not a regular file), or `how`
        PageUnreadable,  // the page's stream cannot be read or decoded whole
        RunsOn,  // the stream's data runs on too far past its JPEG's end (PipeOutcome::RunsOn)
        Incomplete,  // a recovered document's JPEG data stops before its end (PipeOutcome::Incomplete)
        TooLarge,  // a picture that must be decoded whole passes kMostHeldBytes
    };
    Result result = Result::Identical;
    bool pixels = false;  // the pixels were compared, not the bytes
    std::string how;  // Differs, FileUnreadable: in the words a message uses
    int64_t differsAt = 0;  // Differs: the first byte that is not the same, counted from 1
    int systemError = 0;
};

// Compares page `page` with the file at `path`: a Png or Tiff page, or a PNG or TIFF file, by
// CheckPixels; otherwise a Jpeg page with its JPEG file, reading each once front to back in
// bounded pieces; the stripped copy is made, on a thread of its own, only when the bytes differ.
// Throws what libqpdf throws for a damaged document.
PictureCheck CheckPicture(const PdfPictures& document, int page, const std::string& path);

}  // namespace extract
