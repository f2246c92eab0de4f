// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegScan.h"

#include <cstring>

namespace extract {

namespace {

bool IsFrameMarker(unsigned char m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }
bool IsStandalone(unsigned char m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7); }

}  // namespace

size_t JpegScan::Take(const unsigned char* data, size_t size)
{
    size_t used = 0;
    while (used < size && state_ != State::Ended && Step(data[used]))
        ++used, ++length_;
    return used;
}

void JpegScan::BeginSegment(unsigned char marker)
{
    marker_ = marker;
    payloadAt_ = 0;
    state_ = State::Length1;
}

// Whether the byte belongs to the JPEG: the end-of-image marker does, and ends it; a byte that
// cannot continue a JPEG ends it before that byte.
bool JpegScan::Step(unsigned char byte)
{
    const auto end = [&](bool belongs) {
        state_ = State::Ended;
        return belongs;
    };
    switch (state_) {
    case State::Start:
        state_ = State::StartMarker;
        return byte == 0xFF || end(false);
    case State::StartMarker:
        if (byte != 0xD8) {
            length_ = 0;  // the 0xFF taken was no JPEG's either
            return end(false);
        }
        state_ = State::ExpectFF;
        return true;
    case State::ExpectFF:
        state_ = State::Marker;
        return byte == 0xFF || end(false);
    case State::Marker:
        if (byte == 0x00 || byte == 0xD8)
            return end(false);
        if (byte == 0xD9) {
            complete_ = true;
            return end(true);
        }
        if (IsStandalone(byte))
            state_ = State::ExpectFF;
        else if (byte != 0xFF)  // 0xFF: a fill byte
            BeginSegment(byte);
        return true;
    case State::Length1:
        remaining_ = static_cast<unsigned>(byte) << 8;
        state_ = State::Length2;
        return true;
    case State::Length2:
        remaining_ |= byte;
        if (remaining_ < 2)
            return end(true);
        remaining_ -= 2;
        if (remaining_ == 0)
            FinishSegment();
        else
            state_ = State::Payload;
        return true;
    case State::Payload:
        if (marker_ == 0xEE && payloadAt_ < sizeof adobeText_) {
            adobeText_[payloadAt_] = static_cast<char>(byte);
            if (payloadAt_ + 1 == sizeof adobeText_ && std::memcmp(adobeText_, "Adobe", 5) == 0)
                adobe_ = true;
        }
        if (IsFrameMarker(marker_) && payloadAt_ == 5 && components_ == 0)
            components_ = byte;
        ++payloadAt_;
        if (--remaining_ == 0)
            FinishSegment();
        return true;
    case State::Entropy:
        if (byte == 0xFF)
            state_ = State::EntropyFF;
        return true;
    case State::EntropyFF:
        if (byte == 0xD9) {
            complete_ = true;
            return end(true);
        }
        if (byte == 0xD8)
            return end(false);
        if (byte == 0xFF)
            return true;
        if (byte == 0x00 || IsStandalone(byte))
            state_ = State::Entropy;
        else
            BeginSegment(byte);
        return true;
    case State::Ended:
        break;
    }
    return false;
}

void JpegScan::FinishSegment()
{
    if (marker_ == 0xDA)
        scanSeen_ = true;
    state_ = marker_ == 0xDA ? State::Entropy : State::ExpectFF;
}

}  // namespace extract
