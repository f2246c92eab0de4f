// SPDX-License-Identifier: GPL-2.0-or-later
// Reading and replacing list files. Only regular files are used: a FIFO, socket, device or folder
// is refused without blocking, and a file being replaced is never left half written.
#pragma once

#include <string>
#include <string_view>

namespace imagelist {

// Why a file could not be used: the system's error text, or kNotRegularFile.
struct FileAccessFailure {
    std::string reason;
};

inline constexpr const char* kNotRegularFile = "Not a regular file";

// The file's bytes up to and including the first NUL byte (the rest of the text is never used),
// or all of them. Throws FileAccessFailure when path is not a readable regular file.
std::string ReadRegularFile(const std::string& path);

// Writes bytes to a new file in the same folder and renames it over path; a symbolic link is
// followed, so the file it names is replaced and the link stays. The replaced file's permission
// bits (and owner, where allowed) are kept; a new file gets 0666 less the umask.
// Throws FileAccessFailure when path names something other than a regular file, or when anything
// fails: then the temporary file is gone and the previous file is unchanged.
void ReplaceRegularFile(const std::string& path, std::string_view bytes);

}  // namespace imagelist
