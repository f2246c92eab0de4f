// SPDX-License-Identifier: GPL-2.0-or-later
// A file descriptor closed on every path out of its owner's scope.
#pragma once

#include <unistd.h>

#include <cerrno>

#include <utility>

namespace posixfile {

class UniqueDescriptor {
public:
    UniqueDescriptor() = default;
    explicit UniqueDescriptor(int fd) : fd_(fd) { }
    ~UniqueDescriptor() { Reset(); }
    UniqueDescriptor(UniqueDescriptor&& other) noexcept : fd_(other.Release()) { }
    UniqueDescriptor& operator=(UniqueDescriptor&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueDescriptor(const UniqueDescriptor&) = delete;
    UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor held (errno is kept) and holds `fd` instead.
    void Reset(int fd = -1)
    {
        if (fd_ >= 0) {
            const int saved = errno;
            ::close(fd_);
            errno = saved;
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

}  // namespace posixfile
