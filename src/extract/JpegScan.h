// SPDX-License-Identifier: GPL-2.0-or-later
// A JPEG's structure followed as its bytes come in, in pieces of any size: where its
// end-of-image marker ends it, how many components its frame has, and whether it carries an
// Adobe segment (whose CMYK is stored inverted).
#pragma once

#include <cstddef>
#include <cstdint>

namespace extract {

class JpegScan {
public:
    // Takes the next piece; returns how many bytes of it belong to the JPEG (all of them until
    // its end is found, then none).
    size_t Take(const unsigned char* data, size_t size);

    // Whether the JPEG has ended: at its end-of-image marker, or where its bytes stop making a
    // JPEG (data that does not start with one ends before its first byte).
    bool Ended() const { return state_ == State::Ended; }
    // Whether it ended at its end-of-image marker: the JPEG is whole.
    bool Complete() const { return complete_; }
    int64_t Length() const { return length_; }  // the JPEG's bytes so far
    // Whether the entropy-coded data of the first scan has been reached: every header is read.
    bool HeadersRead() const { return scanSeen_; }
    int Components() const { return components_; }  // 0 until the frame header is read
    bool HasAdobeSegment() const { return adobe_; }

private:
    enum class State { Start, StartMarker, ExpectFF, Marker, Length1, Length2, Payload, Entropy, EntropyFF, Ended };
    bool Step(unsigned char byte);
    void FinishSegment();
    void BeginSegment(unsigned char marker);

    State state_ = State::Start;
    unsigned char marker_ = 0;
    unsigned remaining_ = 0;  // payload bytes of the current segment still to come
    unsigned payloadAt_ = 0;  // bytes of the current segment's payload seen
    char adobeText_[5] = {};
    int64_t length_ = 0;
    bool scanSeen_ = false;
    int components_ = 0;
    bool adobe_ = false;
    bool complete_ = false;
};

}  // namespace extract
