// SPDX-License-Identifier: GPL-2.0-or-later
#include "ReadableFile.h"

#include <fcntl.h>

#include <cerrno>

namespace posixfile {

ReadableFile OpenReadableFile(const std::string& path) noexcept
{
    ReadableFile opened;
    opened.file.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!opened.file.IsOpen()) {
        opened.systemError = errno;
        return opened;
    }
    if (::fstat(opened.file.Get(), &opened.info) != 0) {
        opened.systemError = errno;
    } else if (!S_ISREG(opened.info.st_mode)) {
        opened.refusal = ReadableFile::Refusal::NotRegularFile;
    } else {
        const int flags = ::fcntl(opened.file.Get(), F_GETFL);
        if (flags < 0 || ::fcntl(opened.file.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
            opened.systemError = errno;
        } else {
            opened.refusal = ReadableFile::Refusal::None;
            return opened;
        }
    }
    opened.file.Reset();
    return opened;
}

}  // namespace posixfile
