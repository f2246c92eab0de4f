// SPDX-License-Identifier: GPL-2.0-or-later
#include "WholeTransfers.h"

#include <unistd.h>

#include <cerrno>

namespace posixfile {

ssize_t ReadFully(int fd, void* buffer, size_t count) noexcept
{
    char* const bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

ssize_t ReadAt(int fd, void* buffer, size_t count, int64_t offset) noexcept
{
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, count, offset);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool WriteAll(int fd, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool ReadToEnd(int fd, std::string& text, size_t limit)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ReadFully(fd, buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (text.size() + static_cast<size_t>(n) > limit) {
            errno = EFBIG;
            return false;
        }
        text.append(buffer, static_cast<size_t>(n));
        if (static_cast<size_t>(n) < sizeof buffer)
            return true;
    }
}

}  // namespace posixfile
