// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace posixfile {

FileCalls fileCalls {
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    ::fsync,
    ::linkat,
    ::rename,
};

}  // namespace posixfile
