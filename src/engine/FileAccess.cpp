#include "FileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace jpeg2pdf {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr size_t kCopyChunk = 1 << 30;      // the kernel moves at most about 2 GiB per call anyway
constexpr size_t kFallbackCopyBuffer = 1 << 20;

bool LockWithoutWaiting(int fd, int operation)
{
    int result;
    do {
        result = flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// The kernel may refuse a fast path for this pair of files; then the next slower one is tried.
bool FastPathUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF
           || error == ETXTBSY || error == EPERM;
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
        || (S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0)) {
        ::close(fd);
        return OpenResult::Failed;
    }
    fd_ = fd;
    position_ = 0;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return OpenResult::Opened;
}

bool OutputFile::Write(std::string_view bytes)
{
    if (fd_ < 0)
        return false;
    if (buffer_.size() + bytes.size() > kBufferSize) {
        if (!Flush())
            return false;
        if (bytes.size() > kBufferSize) {
            if (!WriteAll(bytes.data(), bytes.size()))
                return false;
            position_ += static_cast<int64_t>(bytes.size());
            return true;
        }
    }
    buffer_.append(bytes);
    position_ += static_cast<int64_t>(bytes.size());
    return true;
}

bool OutputFile::Flush()
{
    const bool written = WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
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
    if (fd_ < 0 || !Flush())
        return false;
    enum class Method { CopyRange, SendFile, ReadWrite } method = Method::CopyRange;
    std::unique_ptr<char[]> buffer;
    int64_t copied = 0;
    while (copied < count) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(count - copied, kCopyChunk));
        off_t from = copied;
        ssize_t done = 0;
        if (method == Method::CopyRange) {
            done = copy_file_range(input.Descriptor(), &from, fd_, nullptr, chunk, 0);
            if (done < 0 && FastPathUnsupported(errno)) {
                method = Method::SendFile;
                continue;
            }
            if (done == 0) {  // some file systems report nothing instead of an error; let read() judge
                method = Method::ReadWrite;
                continue;
            }
        } else if (method == Method::SendFile) {
            done = sendfile(fd_, input.Descriptor(), &from, chunk);
            if ((done < 0 && FastPathUnsupported(errno)) || done == 0) {
                method = Method::ReadWrite;
                continue;
            }
        } else {
            if (!buffer)
                buffer = std::make_unique<char[]>(kFallbackCopyBuffer);
            done = input.ReadAt(copied, buffer.get(), std::min(chunk, kFallbackCopyBuffer));
            if (done == 0)
                return false;  // the file is shorter than it was when opened
            if (done > 0 && !WriteAll(buffer.get(), static_cast<size_t>(done)))
                return false;
        }
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        copied += done;
        position_ += done;
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
