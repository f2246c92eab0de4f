// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegStripper.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace jpeg2pdf {

using posixfile::InputFile;
using posixfile::OutputFile;

namespace {

// The walk reads straight into the output's buffer, so a kept byte is copied no more often than
// in a plain copy. Header segments are looked at in small reads, so that closing the gap a
// dropped segment leaves moves few bytes; scan data is read in large ones.
constexpr int64_t kHeaderRead = 16 * 1024;
constexpr size_t kHeaderRoom = 4 * 1024;
constexpr size_t kScanRoom = 64 * 1024;
// Marker, length and the longest identifier told apart.
constexpr int64_t kSegmentHead = 4 + 12;

constexpr uint8_t kBaselineFrame = 0xC0;
constexpr uint8_t kProgressiveFrame = 0xC2;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kComment = 0xFE;

bool IsRestart(uint8_t marker) { return marker >= 0xD0 && marker <= 0xD7; }

// Markers without a length: restarts and TEM.
bool IsStandalone(uint8_t marker) { return IsRestart(marker) || marker == 0x01; }

bool StartsWith(const uint8_t* bytes, int64_t size, std::string_view identifier)
{
    return size >= static_cast<int64_t>(identifier.size())
        && std::memcmp(bytes, identifier.data(), identifier.size()) == 0;
}

// Comments and application segments go, except the three a decoder reads: JFIF (sampling
// positions), ICC_PROFILE (colours) and Adobe (colour transform, CMYK inversion).
bool IsDropped(uint8_t marker, const uint8_t* payload, int64_t size)
{
    if (marker == kComment)
        return true;
    if (marker < 0xE0 || marker > 0xEF)
        return false;
    using namespace std::string_view_literals;
    return !(marker == 0xE0 && StartsWith(payload, size, "JFIF\0"sv))
        && !(marker == 0xE2 && StartsWith(payload, size, "ICC_PROFILE\0"sv))
        && !(marker == 0xEE && StartsWith(payload, size, "Adobe"sv));
}

// The walk. The block is the part of the file staged in the output's buffer; bytes
// [keptFrom_, pos_) in it are kept but not yet committed. They are committed before the block
// moves and before anything is dropped, so a kept run costs one commit.
class Stripper {
public:
    Stripper(const InputFile& in, OutputFile& out) : in_(in), out_(out), size_(in.Size()) { }

    bool Run()
    {
        const int64_t got = Need(2);
        if (got < 0)
            return false;
        if (got < 2 || At(0) != 0xFF || At(1) != kStartOfImage)
            return KeepRest();
        pos_ = 2;
        bool framed = false;  // a baseline or progressive frame header has been copied
        for (;;) {
            const int64_t head = Need(kSegmentHead);
            if (head < 0)
                return false;
            if (head == 0)
                return Flush(pos_);  // ends between segments: no end-of-image marker, nothing lost
            if (head < 2 || At(pos_) != 0xFF)
                return KeepRest();
            const uint8_t marker = At(pos_ + 1);
            // Before the frame header the probe takes every marker for a segment's; anything that is
            // none is left as it stands.
            if (!framed && (marker == 0xFF || marker == kEndOfImage || IsStandalone(marker) || marker == kStartOfScan))
                return KeepRest();
            if (marker == 0xFF) {
                ++pos_;  // a fill byte, kept
                continue;
            }
            if (marker == kEndOfImage) {
                pos_ += 2;
                return Flush(pos_);
            }
            if (IsStandalone(marker)) {
                pos_ += 2;
                continue;
            }
            if (marker == 0x00 || marker == kStartOfImage || head < 4)
                return KeepRest();
            const int64_t length = At(pos_ + 2) << 8 | At(pos_ + 3);
            const int64_t end = pos_ + 2 + length;
            if (length < 2 || end > size_)
                return KeepRest();
            if (IsDropped(marker, &block_[pos_ + 4 - blockStart_], std::min(head, length + 2) - 4)
                && EndsBeforeSegmentMarker(end)) {
                if (!Flush(pos_))
                    return false;
                keptFrom_ = pos_ = end;
                continue;
            }
            if (!KeepTo(end))
                return false;
            framed = framed || marker == kBaselineFrame || marker == kProgressiveFrame;
            if (marker == kStartOfScan && !SkipScanData())
                return false;
        }
    }

private:
    uint8_t At(int64_t offset) const { return block_[offset - blockStart_]; }

    // Makes up to `count` bytes from pos_ on available in the block; returns how many are (fewer
    // only at the end of the file), or -1 after a failed read or write.
    int64_t Need(int64_t count, bool scanData = false)
    {
        if (pos_ >= blockStart_ && (pos_ + count <= blockEnd_ || blockEnd_ == size_))
            return blockEnd_ - pos_;
        if (!Flush(pos_))
            return -1;
        const int64_t want = scanData ? size_ - pos_ : std::min(kHeaderRead, size_ - pos_);
        const char* staged = nullptr;
        const int64_t got = want == 0
            ? 0
            : out_.Stage(in_, pos_, static_cast<size_t>(want), scanData ? kScanRoom : kHeaderRoom, staged);
        if (got < 0)
            return -1;
        if (got < std::min(want, count)) {
            out_.Fail(true, 0);  // shorter than when opened
            return -1;
        }
        block_ = reinterpret_cast<const uint8_t*>(staged);
        blockStart_ = pos_;
        blockEnd_ = pos_ + got;
        return got;
    }

    // Commits the kept bytes up to `upTo`, which lies in the block.
    bool Flush(int64_t upTo)
    {
        if (upTo > keptFrom_)
            out_.Commit(reinterpret_cast<const char*>(&block_[keptFrom_ - blockStart_]),
                        static_cast<size_t>(upTo - keptFrom_));
        keptFrom_ = upTo;
        return true;
    }

    // Keeps everything up to `end`; what lies beyond the block is copied from the file, which
    // overwrites the block.
    bool KeepTo(int64_t end)
    {
        if (end > blockEnd_) {
            if (!Flush(blockEnd_) || !out_.CopyRange(in_, blockEnd_, end - blockEnd_))
                return false;
            keptFrom_ = blockStart_ = blockEnd_ = end;
        }
        pos_ = end;
        return true;
    }

    bool KeepRest() { return KeepTo(size_) && Flush(pos_); }

    // Whether the bytes at `offset` begin with a marker that cannot join what precedes it, or the
    // file ends there. Dropping a segment puts what follows it next to what precedes it: scan data
    // or a fill byte followed by a restart, a stuffed zero, a fill byte or garbage would be walked
    // (and decoded) differently, so such a segment is kept.
    bool EndsBeforeSegmentMarker(int64_t offset) const
    {
        if (offset == size_)
            return true;
        uint8_t bytes[2];
        if (offset >= blockStart_ && offset + 2 <= blockEnd_)
            std::memcpy(bytes, &block_[offset - blockStart_], 2);
        else if (in_.ReadAt(offset, bytes, 2) != 2)
            return false;  // one last byte, or a failed read that copying the segment will report
        return bytes[0] == 0xFF && bytes[1] != 0x00 && bytes[1] != 0xFF && !IsRestart(bytes[1]);
    }

    // Moves past the entropy-coded data that follows a scan header: up to the first marker other
    // than a restart (a run of fill bytes before it counts as data), or to the end of the file.
    // Stuffed zeros, restart markers and fill bytes are data.
    bool SkipScanData()
    {
        for (;;) {
            const int64_t got = Need(2, true);
            if (got < 2) {
                if (got == 1 && At(pos_) != 0xFF)
                    ++pos_;
                return got >= 0;  // a last 0xFF is left to the marker walk, which keeps it
            }
            // Runs through the block without leaving it; a 0xFF in its last byte is looked at
            // again after the block has moved on to it.
            const uint8_t* const base = &block_[pos_ - blockStart_];
            const uint8_t* const end = base + got;
            const uint8_t* at = base;
            for (;;) {
                at = static_cast<const uint8_t*>(std::memchr(at, 0xFF, static_cast<size_t>(end - at)));
                if (!at || at + 1 == end)
                    break;
                if (at[1] == 0x00 || IsRestart(at[1]))
                    at += 2;
                else if (at[1] == 0xFF)
                    at += 1;
                else {
                    pos_ += at - base;
                    return true;
                }
            }
            pos_ += (at ? at : end) - base;
        }
    }

    const InputFile& in_;
    OutputFile& out_;
    const int64_t size_;
    const uint8_t* block_ = nullptr;
    int64_t blockStart_ = 0;
    int64_t blockEnd_ = 0;
    int64_t pos_ = 0;
    int64_t keptFrom_ = 0;
};

}  // namespace

int64_t CopyJpegStripped(const InputFile& jpeg, OutputFile& out)
{
    const int64_t start = out.Position();
    Stripper stripper(jpeg, out);
    return stripper.Run() ? out.Position() - start : -1;
}

}  // namespace jpeg2pdf
