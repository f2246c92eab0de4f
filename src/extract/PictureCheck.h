// SPDX-License-Identifier: GPL-2.0-or-later
// A page's JPEG bytes checked against a JPEG file: the same bytes, the same picture with the
// file's metadata left out (as --strip-metadata writes it), or where they part.
#pragma once

#include <cstdint>
#include <string>

#include "PdfPictures.h"

namespace extract {

struct PictureCheck {
    enum class Result {
        Identical,
        MetadataRemoved,  // the page holds the file's stripped copy
        Differs,
        FileUnreadable,  // systemError says why (0: not a regular file)
        PageUnreadable,  // the page's stream cannot be read or decoded whole
        RunsOn,  // the stream's data runs on too far past its JPEG's end (PipeOutcome::RunsOn)
        Incomplete,  // a recovered document's JPEG data stops before its end (PipeOutcome::Incomplete)
    };
    Result result = Result::Identical;
    int64_t differsAt = 0;  // Differs: the first byte that is not the same, counted from 1
    int systemError = 0;
};

// Compares page `page` (a Jpeg page) with the file at `path`, reading each once front to back in
// bounded pieces; the stripped copy is made, on a thread of its own, only when the bytes differ.
// Throws what libqpdf throws for a damaged document.
PictureCheck CheckPicture(const PdfPictures& document, int page, const std::string& path);

}  // namespace extract
