#include "FileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "ContentDigest.h"

namespace jpeg2pdf {

namespace {

// Text and file contents pass through one buffer, so the file sees few, large writes.
constexpr size_t kBufferSize = 512 * 1024;

bool LockWithoutWaiting(int fd, int operation)
{
    int result;
    do {
        result = flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}


// Truncating a file, even an empty one, makes ext4 write the whole file back when it is closed
// (its guard for files replaced by truncation), which doubled the time of an export into a new
// file. So only a file with content is truncated; its size is read once the lock is ours.
bool EmptyLockedFile(int fd)
{
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return false;
    return info.st_size == 0 || ftruncate(fd, 0) == 0;
}

}  // namespace

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path)
{
    Close();
    failure_ = OpenFailure::System;
    // O_NONBLOCK keeps a FIFO from stalling the open; it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        systemError_ = errno;
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0)
        systemError_ = errno;
    else if (!S_ISREG(info.st_mode))
        failure_ = OpenFailure::NotRegularFile;
    else if (!LockWithoutWaiting(fd, LOCK_SH))
        failure_ = errno == EWOULDBLOCK ? OpenFailure::Locked : OpenFailure::System, systemError_ = errno;
    else
        failure_ = OpenFailure::None;
    if (failure_ != OpenFailure::None) {
        ::close(fd);
        return false;
    }
    systemError_ = 0;
    fd_ = fd;
    size_ = info.st_size;
    identity_ = {info.st_dev, info.st_ino};
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
    for (;;) {
        const ssize_t got = pread(fd_, buffer, count, offset);
        if (got >= 0)
            return got;
        if (errno != EINTR)
            return -1;
    }
}

OutputFile::OutputFile() = default;

OutputFile::~OutputFile()
{
    if (fd_ >= 0 && !adopted_)
        ::close(fd_);
}

// Creates the file if there is none, so the caller knows whether it made it; otherwise opens
// the existing one when that may be replaced. Returns the descriptor or -1 with errno set.
static int OpenOrCreate(const std::string& path, bool replaceExisting, bool& created)
{
    // O_NONBLOCK: an existing FIFO must not stall the open. No O_TRUNC: the file is emptied only
    // once it is known to be ours alone.
    constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        if (fd >= 0 || errno != EEXIST || !replaceExisting) {
            created = fd >= 0;
            return fd;
        }
        fd = ::open(path.c_str(), kFlags);
        if (fd >= 0 || errno != ENOENT) {
            created = false;
            return fd;
        }
        // Removed between the two opens: try again.
    }
    errno = EEXIST;
    return -1;
}

OutputFile::OpenResult OutputFile::Open(const std::string& path, const std::vector<FileIdentity>& inputs,
                                        bool replaceExisting)
{
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    bool created = false;
    const int fd = OpenOrCreate(path, replaceExisting, created);
    if (fd < 0) {
        systemError_ = errno;
        return errno == EEXIST && !replaceExisting ? OpenResult::Exists : OpenResult::Failed;
    }
    OpenResult result = OpenResult::Opened;
    struct stat info {};
    if (fstat(fd, &info) != 0)
        result = OpenResult::Failed;
    // Regular files, and character devices such as /dev/null; a FIFO or socket could stall us.
    else if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode))
        result = OpenResult::NotRegularFile;
    else if (std::find(inputs.begin(), inputs.end(), FileIdentity{info.st_dev, info.st_ino}) != inputs.end())
        result = OpenResult::IsOneOfInputs;
    else {
        const int flags = fcntl(fd, F_GETFL);
        if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
            result = OpenResult::Failed;
        else if (!LockWithoutWaiting(fd, LOCK_EX))
            result = errno == EWOULDBLOCK ? OpenResult::Locked : OpenResult::Failed;
        else if (S_ISREG(info.st_mode) && !EmptyLockedFile(fd))
            result = OpenResult::Failed;
    }
    if (result != OpenResult::Opened) {
        systemError_ = errno;
        // A failure must not leave behind a new empty file that the caller reports as never made.
        if (created)
            RemoveIfSameFile(path, {info.st_dev, info.st_ino});
        ::close(fd);
        return result;
    }
    fd_ = fd;
    adopted_ = false;
    regularFile_ = S_ISREG(info.st_mode);
    identity_ = {info.st_dev, info.st_ino};
    position_ = 0;
    buffered_ = 0;
    failure_ = {};
    return OpenResult::Opened;
}

void OutputFile::Adopt(int descriptor)
{
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    fd_ = descriptor;
    adopted_ = true;
    regularFile_ = false;
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
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return Fail(false, done < 0 ? errno : EIO);
        data += done;
        size -= static_cast<size_t>(done);
    }
    return true;
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
    const bool flushed = Flush();
    const int fd = fd_;
    fd_ = -1;
    if (adopted_)
        return flushed;
    // close() reports delayed write errors (network file systems); it must not be retried.
    const bool closed = ::close(fd) == 0 || Fail(false, errno);
    return flushed && closed;
}

void OutputFile::Discard(const std::string& path)
{
    // Removed while still locked, so no one else sees the half-written file as ours to read.
    if (!adopted_ && regularFile_)
        RemoveIfSameFile(path, identity_);
    if (fd_ >= 0 && !adopted_)
        ::close(fd_);
    fd_ = -1;
    buffered_ = 0;
    regularFile_ = false;
}

void RemoveIfSameFile(const std::string& path, const FileIdentity& identity)
{
    const int savedErrno = errno;
    char* real = realpath(path.c_str(), nullptr);
    struct stat named {};
    if (real && lstat(real, &named) == 0 && S_ISREG(named.st_mode)
        && FileIdentity{named.st_dev, named.st_ino} == identity)
        unlink(real);
    std::free(real);
    errno = savedErrno;
}

}  // namespace jpeg2pdf
