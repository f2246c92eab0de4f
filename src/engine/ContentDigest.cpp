// SPDX-License-Identifier: GPL-2.0-or-later
#include "ContentDigest.h"

#include <new>

#include <xxhash.h>
#if defined(__x86_64__)
// Picks the widest vector unit the processor has at run time (AVX2 where there is one).
#include <xxh_x86dispatch.h>
#endif

namespace jpeg2pdf {

ContentDigest::ContentDigest() : state_(XXH3_createState())
{
    if (!state_ || XXH3_128bits_reset(state_) != XXH_OK) {
        XXH3_freeState(state_);
        throw std::bad_alloc();
    }
}

ContentDigest::~ContentDigest() { XXH3_freeState(state_); }

void ContentDigest::Add(const void* data, size_t size)
{
    if (size > 0)
        XXH3_128bits_update(state_, data, size);
}

std::string ContentDigest::Hex() const
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state_));
    static constexpr char kHexDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : canonical.digest) {
        hex.push_back(kHexDigits[byte >> 4]);
        hex.push_back(kHexDigits[byte & 15]);
    }
    return hex;
}

std::string DocumentIdEntry(const std::string& hex) { return "/ID [<" + hex + "> <" + hex + ">]"; }

}  // namespace jpeg2pdf
