// SPDX-License-Identifier: GPL-2.0-or-later
#include "RegularFile.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

#include "ReadableFile.h"
#include "WholeTransfers.h"

namespace imagelist {
namespace {

// open() fails on a socket, or on a device without its driver, with ENXIO, which names no reason a
// user would understand.
FileAccessFailure OpenFailure(const std::string& path, int error)
{
    struct stat info {};
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return {kNotRegularFile};
    return {std::strerror(error)};
}

}  // namespace

std::string ReadRegularFile(const std::string& path)
{
    // Opened without waiting: a FIFO without a writer would otherwise hold the open, and the window
    // with it.
    const posixfile::ReadableFile file = posixfile::OpenReadableFile(path);
    if (file.refusal == posixfile::ReadableFile::Refusal::NotRegularFile && file.systemError == 0)
        throw FileAccessFailure{S_ISDIR(file.info.st_mode) ? std::strerror(EISDIR) : kNotRegularFile};
    if (file.refusal != posixfile::ReadableFile::Refusal::None)
        throw OpenFailure(path, file.systemError);

    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = posixfile::ReadFully(file.file.Get(), buffer, sizeof buffer);
        if (n < 0)
            throw FileAccessFailure{std::strerror(errno)};
        text.append(buffer, static_cast<size_t>(n));
        // The text ends at its first NUL byte: what follows is never read.
        if (static_cast<size_t>(n) < sizeof buffer || std::memchr(buffer, '\0', static_cast<size_t>(n)))
            break;
    }
    return text;
}

}  // namespace imagelist
