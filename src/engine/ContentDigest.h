// SPDX-License-Identifier: GPL-2.0-or-later
// A running hash of the bytes a document is made of, for its ID: the same bytes give the same ID
// on every run and every machine, and writing a gigabyte costs no noticeable time more.
#pragma once

#include <cstddef>
#include <string>

struct XXH3_state_s;

namespace jpeg2pdf {

class ContentDigest {
public:
    // Throws std::bad_alloc when the hash state cannot be had.
    ContentDigest();
    ~ContentDigest();
    ContentDigest(const ContentDigest&) = delete;
    ContentDigest& operator=(const ContentDigest&) = delete;

    void Add(const void* data, size_t size);
    // 32 lower-case hex digits for everything added so far (XXH3, 128 bits, most significant
    // byte first); more may be added afterwards.
    std::string Hex() const;

private:
    XXH3_state_s* state_;
};

// The trailer entry "/ID [<hex> <hex>]": a document written once has one ID for both parts.
std::string DocumentIdEntry(const std::string& hex);

}  // namespace jpeg2pdf
