// SPDX-License-Identifier: GPL-2.0-or-later
// The system calls that put a replacement file in place, as a table a test may change to make one
// of them fail (an fsync that reports EIO, say). The real calls by default.
#pragma once

#include <sys/types.h>

namespace posixfile {

struct FileCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    int (*fsync)(int fd);
    int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
    int (*rename)(const char* from, const char* to);
};

// The table every FileReplacement calls through.
extern FileCalls fileCalls;

}  // namespace posixfile
