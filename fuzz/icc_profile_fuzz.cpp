// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary chunk payloads to the ICC profile reassembly. The input is the frame's
// component count (first byte, modulo 5), then chunks, each a 16-bit big-endian length and that
// many bytes, which follow "ICC_PROFILE\0" in the chunk's payload (sequence, count, data).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "IccProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int components = data[0] % 5;
    jpeg2pdf::IccChunkCollector collector;
    size_t at = 1;
    while (size - at >= 2) {
        const size_t length = std::min<size_t>(data[at] << 8 | data[at + 1], size - at - 2);
        at += 2;
        // A copy of exactly the payload, so any read past it is caught by the sanitizer.
        std::vector<uint8_t> payload(12 + length);
        std::memcpy(payload.data(), "ICC_PROFILE\0", 12);
        std::memcpy(payload.data() + 12, data + at, length);
        at += length;
        if (!jpeg2pdf::IsIccChunk(payload.data(), payload.size()))
            std::abort();
        collector.Add(payload.data(), payload.size());
    }
    std::vector<uint8_t> profile;
    const std::string ignored = collector.Assemble(components, profile);
    // Without chunks nothing is said; with chunks either a profile comes out or a reason, one line.
    if (collector.Empty() != (profile.empty() && ignored.empty()))
        std::abort();
    if (!profile.empty() && !ignored.empty())
        std::abort();
    if (!ignored.empty()
        && (ignored.rfind("colour profile ignored: ", 0) != 0 || ignored.find('\n') != std::string::npos))
        std::abort();
    // A profile that comes out has a whole header that states its own size, and passes the check again.
    if (!profile.empty()) {
        const uint32_t declared
            = uint32_t {profile[0]} << 24 | uint32_t {profile[1]} << 16 | profile[2] << 8 | profile[3];
        if (profile.size() < 128 || declared != profile.size() || std::memcmp(profile.data() + 36, "acsp", 4) != 0
            || !jpeg2pdf::CheckIccProfile(profile.data(), profile.size(), components).empty()
            || jpeg2pdf::ReadIccVersion(profile.data(), profile.size()).major != profile[8])
            std::abort();
    }
    return 0;
}
