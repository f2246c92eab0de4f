// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileDescriptor.h"
#include "RegularFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

namespace imagelist {
namespace {

// open() on a socket fails with ENXIO, which names no reason a user would understand.
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
    // O_NONBLOCK: a FIFO without a writer would otherwise hold the open, and the window with it.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0)
        throw OpenFailure(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        throw FileAccessFailure{std::strerror(errno)};
    if (S_ISDIR(info.st_mode))
        throw FileAccessFailure{std::strerror(EISDIR)};
    if (!S_ISREG(info.st_mode))
        throw FileAccessFailure{kNotRegularFile};
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);

    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileAccessFailure{std::strerror(errno)};
        if (n == 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        if (std::memchr(buffer, '\0', static_cast<size_t>(n)))
            break;
    }
    return text;
}

}  // namespace imagelist
