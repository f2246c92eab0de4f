// SPDX-License-Identifier: GPL-2.0-or-later
#include "PictureFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "FileReplacement.h"
#include "PngPicture.h"
#include "TiffPicture.h"
#include "WholeTransfers.h"

namespace extract {

namespace {

constexpr size_t kWriteSize = 1 << 20;

// Gathers the picture's pieces and writes them in large ones; after a failed write it takes
// the rest unwritten.
class FileSink : public ByteSink {
public:
    explicit FileSink(int fd) : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kWriteSize)) { }

    void Take(const unsigned char* data, size_t size) override
    {
        while (size > 0 && error_ == 0) {
            const size_t n = std::min(size, kWriteSize - used_);
            std::memcpy(buffer_.get() + used_, data, n);
            used_ += n, data += n, size -= n;
            if (used_ == kWriteSize)
                Flush();
        }
    }

    // Writes what is gathered; errno of the first failed write, or 0.
    int Finish()
    {
        Flush();
        return error_;
    }

private:
    void Flush()
    {
        if (error_ == 0 && !posixfile::WriteAll(fd_, std::string_view(buffer_.get(), used_)))
            error_ = errno;
        used_ = 0;
    }

    int fd_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    int error_ = 0;
};

}  // namespace

PictureWrite WritePicture(const PdfPictures& document, int page, const std::string& path, bool replace)
{
    using Result = PictureWrite::Result;
    struct stat existing { };
    const bool exists = lstat(path.c_str(), &existing) == 0;
    if (exists && !replace)
        return {Result::Exists, EEXIST};
    if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        return {Result::NotRegularFile, 0};
    posixfile::FileReplacement replacement;
    // A replaced file's permissions go to its successor; a link's are not a file's.
    if (!replacement.Begin(path, exists && S_ISREG(existing.st_mode) ? &existing : nullptr, true))
        return {Result::CannotWrite, errno};
    FileSink sink(replacement.Descriptor());
    const PagePicture kind = document.Picture(page);
    int writeError = 0;
    const PipeOutcome outcome = kind == PagePicture::Png ? WritePng(document, page, sink)
        : kind == PagePicture::Tiff ? WriteTiff(document, page, replacement.Descriptor(), writeError)
                                    : document.PipeJpeg(page, sink);
    if (writeError != 0)
        return {Result::CannotWrite, writeError};
    // On a failure the replacement is abandoned on the way out, with all it holds.
    switch (outcome) {
    case PipeOutcome::Piped:
        break;
    case PipeOutcome::Unreadable:
        return {Result::PageUnreadable, 0};
    case PipeOutcome::RunsOn:
        return {Result::RunsOn, 0};
    case PipeOutcome::Incomplete:
        return {Result::Incomplete, 0};
    case PipeOutcome::TooLarge:
        return {Result::TooLarge, 0};
    }
    if (const int error = sink.Finish(); error != 0)
        return {Result::CannotWrite, error};
    using posixfile::FileReplacement;
    if (!replacement.Commit(exists ? FileReplacement::Flush::ToDisk : FileReplacement::Flush::Later,
                            replace ? FileReplacement::Existing::Replace : FileReplacement::Existing::Keep))
        return {errno == EEXIST && !replace ? Result::Exists : Result::CannotWrite, errno};
    return {Result::Written, 0};
}

void RemoveUnfinishedPicture() noexcept { posixfile::RemoveFromSignalHandler(); }

}  // namespace extract
