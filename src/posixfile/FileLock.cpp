// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileLock.h"

#include <sys/file.h>

#include <cerrno>

namespace posixfile {

bool LockWithoutWaiting(int fd, int operation) noexcept
{
    int result;
    do {
        result = ::flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

}  // namespace posixfile
