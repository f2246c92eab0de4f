// SPDX-License-Identifier: GPL-2.0-or-later
#include "InputFile.h"

#include <sys/file.h>

#include <cerrno>

#include "FileLock.h"
#include "ReadableFile.h"
#include "WholeTransfers.h"

namespace posixfile {

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path)
{
    Close();
    ReadableFile opened = OpenReadableFile(path);
    failure_ = opened.refusal == ReadableFile::Refusal::None ? OpenFailure::None
        : opened.refusal == ReadableFile::Refusal::NotRegularFile ? OpenFailure::NotRegularFile
                                                                   : OpenFailure::System;
    systemError_ = opened.systemError;
    if (failure_ == OpenFailure::None && !LockWithoutWaiting(opened.file.Get(), LOCK_SH)) {
        failure_ = errno == EWOULDBLOCK ? OpenFailure::Locked : OpenFailure::System;
        systemError_ = errno;
    }
    if (failure_ != OpenFailure::None)
        return false;
    fd_ = opened.file.Release();
    size_ = opened.info.st_size;
    identity_ = {opened.info.st_dev, opened.info.st_ino};
    return true;
}

void InputFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int64_t InputFile::ReadAt(int64_t offset, void* buffer, size_t count) const
{
    return posixfile::ReadAt(fd_, buffer, count, offset);
}

}  // namespace posixfile
