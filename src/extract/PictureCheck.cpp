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

#include "PixelCheck.h"
#include "ReadableFile.h"
#include "StrippedJpeg.h"
#include "WholeTransfers.h"

namespace extract {

namespace {

constexpr size_t kReadSize = 1 << 20;

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
        const ssize_t got = posixfile::ReadFully(fd_, buffer_.get(), kReadSize);
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
        while (posixfile::ReadFully(ends[0], rest, sizeof rest) > 0) { }
        stripper.join();
        ::close(ends[0]);
    };
    bool piped = false;
    try {
        piped = document.PipeJpeg(page, sink) == PipeOutcome::Piped;
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
    posixfile::ReadableFile file = posixfile::OpenReadableFile(path);
    if (file.refusal != posixfile::ReadableFile::Refusal::None) {
        // 0 for what was opened and found not to be a regular file: "not a regular file".
        check.result = PictureCheck::Result::FileUnreadable;
        check.systemError = file.systemError;
        return check;
    }
    posix_fadvise(file.file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    const PagePicture kind = document.Picture(page);
    const FileKind fileKind = KindOfFile(file.file.Get());
    if (kind == PagePicture::Png || kind == PagePicture::Tiff) {
        const PixelCheck pixels = CheckPixels(document, page, file.file.Get());
        using From = PixelCheck::Result;
        using To = PictureCheck::Result;
        check.pixels = true;
        check.how = pixels.how;
        switch (pixels.result) {
        case From::Identical: check.result = To::Identical; break;
        case From::SamePixels: check.result = To::SamePixels; break;
        case From::Differs: check.result = To::Differs; break;
        case From::FileUnreadable: check.result = To::FileUnreadable; break;
        case From::PageUnreadable: check.result = To::PageUnreadable; break;
        case From::TooLarge: check.result = To::TooLarge; break;
        }
        return check;
    }
    if (fileKind == FileKind::Png || fileKind == FileKind::Tiff) {
        check.result = PictureCheck::Result::Differs;
        check.how = std::string("differs: the page holds JPEG data, the file is a ")
            + (fileKind == FileKind::Png ? "PNG" : "TIFF") + " file";
        return check;
    }
    const int64_t fileSize = file.info.st_size;
    ComparingSink sink(file.file.Get());
    const PipeOutcome piped = document.PipeJpeg(page, sink);
    const int64_t difference = sink.Difference();
    const int readError = errno;
    file.file.Reset();
    if (piped == PipeOutcome::RunsOn) {
        check.result = PictureCheck::Result::RunsOn;
    } else if (piped == PipeOutcome::Incomplete) {
        check.result = PictureCheck::Result::Incomplete;
    } else if (piped == PipeOutcome::TooLarge) {
        check.result = PictureCheck::Result::TooLarge;
    } else if (piped != PipeOutcome::Piped) {
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
