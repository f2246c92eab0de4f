// SPDX-License-Identifier: GPL-2.0-or-later
// The ICC profile a JPEG carries in APP2 segments whose payload begins with "ICC_PROFILE\0":
// each such chunk gives its 1-based sequence number and the chunk count, and the chunks may come
// in any order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace jpeg2pdf {

// "ICC_PROFILE\0", the sequence number and the chunk count (one byte each).
constexpr size_t kIccChunkHeaderSize = 14;

// Whether an APP2 payload (the bytes after the segment's length field) is an ICC chunk; other
// uses share the marker. Looks at the first 12 bytes only.
bool IsIccChunk(const uint8_t* payload, size_t size) noexcept;

// Gathers the chunks of one file and puts the profile together. Memory stays bounded: one copy
// of each chunk number (at most 255, one segment each), and nothing more after the first fault.
class IccChunkCollector {
public:
    // Takes one ICC chunk's whole payload (IsIccChunk true).
    void Add(const uint8_t* payload, size_t size);
    bool Empty() const { return !seen_; }

    // Called once, after the last Add: the profile in sequence order, checked by CheckIccProfile
    // against a frame of `components` components. Returns "" with the profile in `profile`, or why it is ignored (one line, no file
    // name) with `profile` empty; "" with `profile` empty when no chunk was added.
    std::string Assemble(int components, std::vector<uint8_t>& profile);

private:
    void Fault(std::string reason);

    bool seen_ = false;
    int count_ = 0;
    std::string fault_;
    std::vector<std::vector<uint8_t>> chunks_;  // by sequence number - 1
    std::vector<bool> present_;
};

// Checks a whole profile's version (up to 4, what PDF knows), header and tag table against a
// frame of `components` components (1 grey, 3 RGB, 4 CMYK). Returns "" when it fits, otherwise why it is ignored.
std::string CheckIccProfile(const uint8_t* profile, size_t size, int components);

struct IccVersion {
    int major = 0;
    int minor = 0;
};

// The version a profile's header states (byte 8 major, the high nibble of byte 9 minor);
// 0.0 when there is no whole header.
IccVersion ReadIccVersion(const uint8_t* profile, size_t size) noexcept;

}  // namespace jpeg2pdf
