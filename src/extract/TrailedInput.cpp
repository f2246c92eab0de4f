// SPDX-License-Identifier: GPL-2.0-or-later
#include "TrailedInput.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "WholeTransfers.h"

namespace extract {

TrailedInput::TrailedInput(posixfile::UniqueDescriptor file, std::string name, qpdf_offset_t size, std::string added)
    : file_(std::move(file)), name_(std::move(name)), size_(size), added_(std::move(added)),
      block_(std::make_unique_for_overwrite<char[]>(kBlockSize))
{
}

// As libqpdf's own sources do it: the offset of the next CR or LF (the end when there is none),
// and the position after it and every CR and LF that follows.
qpdf_offset_t TrailedInput::findAndSkipNextEOL()
{
    char chunk[8192];
    qpdf_offset_t found = -1;
    for (;;) {
        const qpdf_offset_t at = position_;
        const size_t got = read(chunk, sizeof chunk);
        if (got == 0)
            return found >= 0 ? found : position_;
        for (size_t i = 0; i < got; ++i) {
            const bool lineEnd = chunk[i] == '\r' || chunk[i] == '\n';
            if (found < 0 && lineEnd) {
                found = at + static_cast<qpdf_offset_t>(i);
            } else if (found >= 0 && !lineEnd) {
                position_ = at + static_cast<qpdf_offset_t>(i);
                return found;
            }
        }
    }
}

std::string const& TrailedInput::getName() const { return name_; }

qpdf_offset_t TrailedInput::tell() { return position_; }

void TrailedInput::seek(qpdf_offset_t offset, int whence)
{
    qpdf_offset_t from = 0;
    switch (whence) {
    case SEEK_SET:
        break;
    case SEEK_CUR:
        from = position_;
        break;
    case SEEK_END:
        from = End();
        break;
    default:
        throw std::logic_error("TrailedInput::seek: whence is none of SEEK_SET, SEEK_CUR, SEEK_END");
    }
    qpdf_offset_t target = 0;
    if (__builtin_add_overflow(from, offset, &target) || target < 0)
        throw std::runtime_error(name_ + ": a seek outside the file");
    position_ = target;
}

void TrailedInput::rewind() { position_ = 0; }

// The block is aligned, so that a step back (libqpdf steps back a character at a time) stays in it.
void TrailedInput::Load()
{
    const qpdf_offset_t start = position_ - position_ % kBlockSize;
    const size_t wanted = static_cast<size_t>(std::min(kBlockSize, size_ - start));
    const ssize_t got = posixfile::ReadAt(file_.Get(), block_.get(), wanted, start);
    if (got < 0)
        throw std::runtime_error(name_ + ": " + std::strerror(errno));
    // The added bytes must stay where they were announced, and every read must move on.
    if (start + got <= position_)
        throw std::runtime_error(name_ + ": the file got shorter while it was read");
    blockStart_ = start;
    blockEnd_ = start + got;
}

size_t TrailedInput::read(char* buffer, size_t length)
{
    if (position_ >= End()) {
        last_offset = End();
        return 0;
    }
    last_offset = position_;
    size_t done = 0;
    while (done < length && position_ < size_) {
        if (position_ < blockStart_ || position_ >= blockEnd_)
            Load();
        const qpdf_offset_t inBlock = blockEnd_ - position_;
        const size_t n = std::min(length - done, static_cast<size_t>(inBlock));
        std::memcpy(buffer + done, block_.get() + (position_ - blockStart_), n);
        position_ += static_cast<qpdf_offset_t>(n);
        done += n;
    }
    if (done < length && position_ >= size_) {
        const size_t at = static_cast<size_t>(position_ - size_);
        const size_t n = std::min(length - done, added_.size() - at);
        std::memcpy(buffer + done, added_.data() + at, n);
        position_ += static_cast<qpdf_offset_t>(n);
        done += n;
    }
    return done;
}

void TrailedInput::unreadCh(char)
{
    if (position_ > 0)
        --position_;
}

}  // namespace extract
