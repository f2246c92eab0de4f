// SPDX-License-Identifier: GPL-2.0-or-later
// A file descriptor closed on every path out of its scope.
#pragma once

#include <unistd.h>

namespace imagelist {

struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int Release()
    {
        const int released = fd;
        fd = -1;
        return released;
    }
};

}  // namespace imagelist
