#include "FileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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
    // O_NONBLOCK keeps a FIFO from stalling the open; it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !LockWithoutWaiting(fd, LOCK_SH)) {
        ::close(fd);
        return false;
    }
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

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

OutputFile::OpenResult OutputFile::Open(const std::string& path, const std::vector<FileIdentity>& inputs)
{
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    // No O_TRUNC: the file is emptied only once it is known to be ours alone.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0)
        return OpenResult::Failed;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        ::close(fd);
        return OpenResult::Failed;
    }
    // Regular files, and character devices such as /dev/null; a FIFO or socket could stall us.
    if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) {
        ::close(fd);
        return OpenResult::Failed;
    }
    if (std::find(inputs.begin(), inputs.end(), FileIdentity{info.st_dev, info.st_ino}) != inputs.end()) {
        ::close(fd);
        return OpenResult::IsOneOfInputs;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || !LockWithoutWaiting(fd, LOCK_EX)
        || (S_ISREG(info.st_mode) && !EmptyLockedFile(fd))) {
        ::close(fd);
        return OpenResult::Failed;
    }
    fd_ = fd;
    position_ = 0;
    buffered_ = 0;
    return OpenResult::Opened;
}

bool OutputFile::Write(std::string_view bytes)
{
    if (fd_ < 0)
        return false;
    if (buffered_ + bytes.size() > kBufferSize) {
        if (!Flush())
            return false;
        if (bytes.size() > kBufferSize) {
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
    buffered_ = 0;
    return written;
}

bool OutputFile::WriteAll(const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd_, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
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
            return false;  // 0: the file is shorter than it was when opened
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
    // close() reports delayed write errors (network file systems); it must not be retried.
    const bool closed = ::close(fd) == 0;
    return flushed && closed;
}

}  // namespace jpeg2pdf
