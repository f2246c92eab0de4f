// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a file for reading without ever waiting: a FIFO without a writer, a device or a socket
// named by mistake is refused at once instead of holding the program.
#pragma once

#include <sys/stat.h>

#include <string>

#include "UniqueDescriptor.h"

namespace posixfile {

struct ReadableFile {
    enum class Refusal { None, System, NotRegularFile };
    UniqueDescriptor file;  // open and blocking again when refusal is None
    Refusal refusal = Refusal::System;
    int systemError = 0;  // with System: errno of the open or of fstat
    struct stat info {};  // after the open: what fstat said (st_mode tells a folder from a device)
};

// Opens a regular file for reading, with O_CLOEXEC and O_NOCTTY. The open itself never blocks
// (O_NONBLOCK, cleared again for the regular file that is kept); anything else is closed unread.
// A socket cannot be opened at all: System with ENXIO, which a caller may put in plainer words.
ReadableFile OpenReadableFile(const std::string& path) noexcept;

}  // namespace posixfile
