// SPDX-License-Identifier: GPL-2.0-or-later
// A page's picture written to a file, whole or not at all: its JPEG bytes, or a PNG or a TIFF.
#pragma once

#include <string>

#include "PdfPictures.h"

namespace extract {

struct PictureWrite {
    enum class Result {
        Written,
        Exists,  // something is at the path and replacing was not asked for
        NotRegularFile,  // a folder or the like is at the path
        CannotWrite,  // systemError says why
        PageUnreadable,  // the page's stream cannot be read or decoded whole
        RunsOn,  // the stream's data runs on too far past its JPEG's end (PipeOutcome::RunsOn)
        Incomplete,  // a recovered document's JPEG data stops before its end (PipeOutcome::Incomplete)
        TooLarge,  // what must be held in memory to write it passes kMostHeldBytes
    };
    Result result = Result::Written;
    int systemError = 0;
};

// Writes page `page`'s JPEG bytes (a Jpeg page), or its PNG (a Png page: WritePng) or TIFF (a
// Tiff page: WriteTiff) to `path`: into a new file beside it, which takes
// the name once complete (and, when it replaces a file, on disk), so a failure or a signal leaves
// nothing half written. A symbolic link at `path` is replaced, never followed: the file stays in
// the folder `path` names. Throws what libqpdf throws for a damaged document.
PictureWrite WritePicture(const PdfPictures& document, int page, const std::string& path, bool replace);

// Removes the new file of the picture being written, if there is one. Async-signal-safe, for a
// handler that then ends the process.
void RemoveUnfinishedPicture() noexcept;

}  // namespace extract
