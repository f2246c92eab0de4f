// SPDX-License-Identifier: GPL-2.0-or-later
#include "PictureCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

#include "StrippedJpeg.h"

namespace extract {

namespace {

constexpr size_t kReadSize = 1 << 20;

// Reads up to `count` bytes; fewer only at the end; -1 on an error.
ssize_t ReadFully(int fd, char* buffer, size_t count)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// Compares the bytes it takes with those read from a descriptor (a file or a pipe), until the
// first difference; what comes after it is taken unread.
class ComparingSink : public ByteSink {
public:
    explicit ComparingSink(int fd) : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kReadSize)) { }

    void Take(const unsigned char* data, size_t size) override
    {
        taken_ += static_cast<int64_t>(size);
        while (size > 0 && !parted_) {
            if (start_ == end_ && !Refill())
                return Part(0);
            const size_t n = std::min(size, end_ - start_);
            const char* here = buffer_.get() + start_;
            const auto [mine, theirs] = std::mismatch(here, here + n, reinterpret_cast<const char*>(data));
            if (mine != here + n)
                return Part(static_cast<size_t>(mine - here));
            start_ += n, compared_ += static_cast<int64_t>(n), data += n, size -= n;
        }
    }

    // After the last piece: the place of the first difference, counted from 1, or 0 when the
    // two are the same bytes; -1 when the descriptor could not be read (errno set).
    int64_t Difference()
    {
        if (!parted_ && (start_ < end_ || Refill()))
            Part(0);  // the other side goes on
        if (failedErrno_ != 0) {
            errno = failedErrno_;
            return -1;
        }
        return parted_ ? compared_ + 1 : 0;
    }

    int64_t Taken() const { return taken_; }

private:
    bool Refill()
    {
        const ssize_t got = ReadFully(fd_, buffer_.get(), kReadSize);
        if (got < 0)
            failedErrno_ = errno;
        start_ = 0;
        end_ = got > 0 ? static_cast<size_t>(got) : 0;
        return got > 0;
    }

    void Part(size_t sameInPiece)
    {
        compared_ += static_cast<int64_t>(sameInPiece);
        parted_ = true;
    }

    int fd_;
    std::unique_ptr<char[]> buffer_;
    size_t start_ = 0, end_ = 0;
    int64_t compared_ = 0;  // bytes found the same
    int64_t taken_ = 0;
    bool parted_ = false;
    int failedErrno_ = 0;
};

// A regular file opened for reading, -1 with errno (0 for anything but a regular file).
int OpenRegularFile(const std::string& path, int64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat info { };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        const int error = S_ISREG(info.st_mode) ? errno : 0;
        ::close(fd);
        errno = error;
        return -1;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    size = info.st_size;
    return fd;
}

// Whether the page holds the stripped copy of the file: the stripper writes it into a pipe on a
// thread of its own while the page's bytes are compared with what comes out. The pipe is read to
// its end whatever happens, so the thread always finishes.
bool HoldsStrippedCopy(const PdfPictures& document, int page, const std::string& path)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    int64_t written = -1;
    std::thread stripper([&] {
        int ignored = 0;
        written = jpeg2pdf::WriteStrippedJpeg(path, ends[1], ignored);
        ::close(ends[1]);
    });
    ComparingSink sink(ends[0]);
    const auto drainAndJoin = [&] {
        char rest[65536];
        while (ReadFully(ends[0], rest, sizeof rest) > 0) { }
        stripper.join();
        ::close(ends[0]);
    };
    bool piped = false;
    try {
        piped = document.PipeJpeg(page, sink);
    } catch (...) {
        drainAndJoin();
        throw;
    }
    const int64_t difference = sink.Difference();
    drainAndJoin();
    return piped && written >= 0 && difference == 0;
}

}  // namespace

PictureCheck CheckPicture(const PdfPictures& document, int page, const std::string& path)
{
    PictureCheck check;
    int64_t fileSize = 0;
    const int fd = OpenRegularFile(path, fileSize);
    if (fd < 0) {
        check.result = PictureCheck::Result::FileUnreadable;
        check.systemError = errno;
        return check;
    }
    ComparingSink sink(fd);
    bool piped = false;
    try {
        piped = document.PipeJpeg(page, sink);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const int64_t difference = sink.Difference();
    const int readError = errno;
    ::close(fd);
    if (!piped) {
        check.result = PictureCheck::Result::PageUnreadable;
    } else if (difference < 0) {
        check.result = PictureCheck::Result::FileUnreadable;
        check.systemError = readError;
    } else if (difference > 0) {
        // A stripped copy is shorter than its file, or the same file.
        const bool stripped = sink.Taken() < fileSize && HoldsStrippedCopy(document, page, path);
        check.result = stripped ? PictureCheck::Result::MetadataRemoved : PictureCheck::Result::Differs;
        check.differsAt = difference;
    }
    return check;
}

}  // namespace extract
