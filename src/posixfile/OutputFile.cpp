// SPDX-License-Identifier: GPL-2.0-or-later
#include "OutputFile.h"

#include "FileReplacement.h"
#include "FinalTarget.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ContentDigest.h"
#include "FileLock.h"
#include "WholeTransfers.h"

namespace posixfile {

namespace {

// Text and file contents pass through one buffer, so the file sees few, large writes.
constexpr size_t kBufferSize = 512 * 1024;

}  // namespace

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() { Release(); }

// No file is ever emptied for a new document: truncating a file, even an empty one, makes ext4
// write the whole file back when it is closed (its guard for files replaced by truncation), which
// doubled the time of an export. A new file renamed over the old one is what that guard is for.
OutputFile::OpenResult OutputFile::Open(const std::string& path, const std::vector<FileIdentity>& inputs,
                                        bool replaceExisting)
{
    Release();
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    if (!replacement_)
        replacement_ = std::make_unique<FileReplacement>();
    adopted_ = false;
    position_ = 0;
    buffered_ = 0;
    failure_ = {};
    const OpenResult result = CheckAndBegin(path, inputs, replaceExisting);
    if (result != OpenResult::Opened) {
        systemError_ = errno;
        std::string folder = std::move(targetFolder_);
        Release();
        targetFolder_ = std::move(folder);
    }
    return result;
}

OutputFile::OpenResult OutputFile::CheckAndBegin(const std::string& path, const std::vector<FileIdentity>& inputs,
                                                 bool replaceExisting)
{
    // A descriptor named by its path (/dev/stdout into a pipe, say), a FIFO or a device is
    // written as it is: there is no file to replace, and what it takes is not kept anyway.
    if (const int named = NamedDescriptor(path); named >= 0)
        return OpenDirectly(::fcntl(named, F_DUPFD_CLOEXEC, 0), false, inputs);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))) {
        // O_NONBLOCK: a FIFO that no program reads is refused (ENXIO) instead of waited for.
        return OpenDirectly(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK), true, inputs);
    }
    if (::lstat(path.c_str(), &info) == 0) {
        if (!replaceExisting) {
            errno = EEXIST;
            return OpenResult::Exists;
        }
    } else if (errno != ENOENT) {
        return OpenResult::Failed;
    }
    // The new file must take the name the links lead to, in that file's folder.
    std::string target;
    if (!FinalTarget(path, target))
        return OpenResult::Failed;
    // O_NONBLOCK: a FIFO put there meanwhile must not stall the open. For writing: a file we may
    // not write is not ours to replace.
    lockedFd_ = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (lockedFd_ < 0 && errno != ENOENT)
        return OpenResult::Failed;
    if (lockedFd_ >= 0) {
        if (fstat(lockedFd_, &info) != 0)
            return OpenResult::Failed;
        if (!S_ISREG(info.st_mode))
            return OpenResult::NotRegularFile;
        if (std::find(inputs.begin(), inputs.end(), FileIdentity{info.st_dev, info.st_ino}) != inputs.end())
            return OpenResult::IsOneOfInputs;
        if (!LockWithoutWaiting(lockedFd_, LOCK_EX))
            return errno == EWOULDBLOCK ? OpenResult::Locked : OpenResult::Failed;
    }
    if (!replacement_->Begin(target, lockedFd_ >= 0 ? &info : nullptr, true)) {
        // A file we may write in a folder we may not: the new file cannot be made beside it.
        if (lockedFd_ >= 0 && (errno == EACCES || errno == EPERM)) {
            targetFolder_ = FolderOf(target);
            if (char* absolute = ::realpath(targetFolder_.c_str(), nullptr)) {
                targetFolder_ = absolute;
                std::free(absolute);
            }
            return OpenResult::FolderForbidsNewFiles;
        }
        return OpenResult::Failed;
    }
    fd_ = replacement_->Descriptor();
    return OpenResult::Opened;
}

OutputFile::OpenResult OutputFile::OpenDirectly(int fd, bool blockingWrites, const std::vector<FileIdentity>& inputs)
{
    if (fd < 0)
        return OpenResult::Failed;
    fd_ = lockedFd_ = fd;  // closed by Close or Release
    toDevice_ = true;
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return OpenResult::Failed;
    // /dev/fd/N may name a listed file opened for writing.
    if (std::find(inputs.begin(), inputs.end(), FileIdentity{info.st_dev, info.st_ino}) != inputs.end())
        return OpenResult::IsOneOfInputs;
    const int flags = fcntl(fd, F_GETFL);
    if (blockingWrites && (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0))
        return OpenResult::Failed;
    return OpenResult::Opened;
}

void OutputFile::Release()
{
    const int savedErrno = errno;
    if (replacement_)
        replacement_->Abandon();
    if (lockedFd_ >= 0)
        ::close(lockedFd_);
    lockedFd_ = -1;
    fd_ = -1;
    toDevice_ = false;
    targetFolder_.clear();
    errno = savedErrno;
}

void OutputFile::Adopt(int descriptor)
{
    Release();
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    fd_ = descriptor;
    adopted_ = true;
    position_ = 0;
    buffered_ = 0;
    failure_ = {};
}

bool OutputFile::Fail(bool inInput, int systemError)
{
    if (!failure_.inInput && failure_.systemError == 0)
        failure_ = {inInput, systemError};
    return false;
}

bool OutputFile::Write(std::string_view bytes)
{
    if (fd_ < 0)
        return false;
    if (buffered_ + bytes.size() > kBufferSize) {
        if (!Flush())
            return false;
        if (bytes.size() > kBufferSize) {
            if (digest_) {
                digest_->Wait();
                digest_->Add(bytes);
            }
            if (!WriteAll(bytes.data(), bytes.size()))
                return false;
            position_ += static_cast<int64_t>(bytes.size());
            return true;
        }
    }
    if (!bytes.empty())
        std::memcpy(buffer_.get() + buffered_, bytes.data(), bytes.size());
    buffered_ += bytes.size();
    position_ += static_cast<int64_t>(bytes.size());
    return true;
}

bool OutputFile::Flush()
{
    const bool written = WriteAll(buffer_.get(), buffered_);
    if (digest_) {
        // The buffer just written is hashed on the digest's thread while the other one fills.
        digest_->Wait();
        digest_->AddInBackground({buffer_.get(), buffered_});
        std::swap(buffer_, spare_);
    }
    buffered_ = 0;
    return written;
}

void OutputFile::StartContentDigest()
{
    spare_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    digest_ = std::make_unique<ContentDigest>();
}

std::string OutputFile::ContentHash()
{
    digest_->Wait();
    return digest_->Hex({buffer_.get(), buffered_});
}

bool OutputFile::WriteAll(const char* data, size_t size)
{
    return posixfile::WriteAll(fd_, {data, size}) || Fail(false, errno);
}

bool OutputFile::CopyFrom(const InputFile& input, int64_t count)
{
    if (fd_ < 0)
        return false;
    // A plain copy through the output's buffer: measured here it beats the kernel's file-to-file
    // copy by a fifth for large files, and a PDF's unaligned offsets rule out shared extents anyway.
    return CopyThroughBuffer(input, 0, count);
}

bool OutputFile::CopyRange(const InputFile& input, int64_t offset, int64_t count)
{
    return fd_ >= 0 && CopyThroughBuffer(input, offset, offset + count);
}

int64_t OutputFile::Stage(const InputFile& input, int64_t offset, size_t count, size_t least, const char*& staged)
{
    if (fd_ < 0 || (kBufferSize - buffered_ < least && !Flush()))
        return -1;
    count = std::min(count, kBufferSize - buffered_);
    char* const room = buffer_.get() + buffered_;
    size_t filled = 0;
    while (filled < count) {
        const int64_t got = input.ReadAt(offset + static_cast<int64_t>(filled), room + filled, count - filled);
        if (got < 0) {
            Fail(true, errno);
            return -1;
        }
        if (got == 0)
            break;
        filled += static_cast<size_t>(got);
    }
    staged = room;
    return static_cast<int64_t>(filled);
}

void OutputFile::Commit(const char* data, size_t count)
{
    char* const end = buffer_.get() + buffered_;
    if (data != end)
        std::memmove(end, data, count);
    buffered_ += count;
    position_ += static_cast<int64_t>(count);
}

// Reads straight into the buffer's free room, so the file sees only full buffers.
bool OutputFile::CopyThroughBuffer(const InputFile& input, int64_t from, int64_t count)
{
    for (int64_t copied = from; copied < count;) {
        if (buffered_ == kBufferSize && !Flush())
            return false;
        const size_t room = kBufferSize - buffered_;
        const int64_t got = input.ReadAt(copied, buffer_.get() + buffered_,
                                         static_cast<size_t>(std::min<int64_t>(count - copied, room)));
        if (got <= 0)
            return Fail(true, got < 0 ? errno : 0);  // 0: the file is shorter than it was when opened
        buffered_ += static_cast<size_t>(got);
        copied += got;
        position_ += got;
    }
    return true;
}

bool OutputFile::Close()
{
    if (fd_ < 0)
        return false;
    bool done = Flush();
    if (adopted_) {
        fd_ = -1;
        return done;
    }
    if (toDevice_) {
        // close() reports delayed write errors; it must not be retried.
        const int fd = lockedFd_;
        lockedFd_ = fd_ = -1;
        toDevice_ = false;
        return (::close(fd) == 0 || Fail(false, errno)) && done;
    }
    // A file that appeared at a name that was free when the export began is someone else's.
    // A replaced file is at stake in a power loss: the new one is on disk before the rename, so
    // the name never shows an empty file. A new name risks nothing that existed, and waiting for
    // the disk would make the export several times slower than a copy (see README, Benchmarks).
    const bool replacing = lockedFd_ >= 0;
    if (done
        && !replacement_->Commit(replacing ? FileReplacement::Flush::ToDisk : FileReplacement::Flush::Later,
                                 replacing ? FileReplacement::Existing::Replace : FileReplacement::Existing::Keep))
        done = Fail(false, errno);
    Release();
    return done;
}

void OutputFile::Discard()
{
    buffered_ = 0;
    if (adopted_)
        fd_ = -1;
    else
        Release();
}

}  // namespace posixfile
