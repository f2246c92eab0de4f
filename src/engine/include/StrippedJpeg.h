// SPDX-License-Identifier: GPL-2.0-or-later
// The copy of a JPEG file that --strip-metadata puts in a document, for a caller that checks a
// document's picture against its file.
#pragma once

#include <cstdint>
#include <string>

namespace jpeg2pdf {

// Writes the copy of the JPEG file at `path` that a document made with stripMetadata carries to
// `fd`, which stays the caller's (a pipe, say). Returns the number of bytes written; -1 when the
// file cannot be read or a write fails, with `systemError` set to errno (0 when the file became
// shorter while it was read). The file is read once, front to back, in bounded pieces.
int64_t WriteStrippedJpeg(const std::string& path, int fd, int& systemError) noexcept;

}  // namespace jpeg2pdf
