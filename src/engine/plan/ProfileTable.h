// SPDX-License-Identifier: GPL-2.0-or-later
// The distinct colour profiles of a document, each held once however many images use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace jpeg2pdf {

class ProfileTable {
public:
    struct Profile {
        std::vector<uint8_t> bytes;
        int components = 0;  // of the images that use it: 1, 3 or 4
        // The profile as zlib data, as the file that brought it holds it (a PNG's iCCP): embedded
        // as it is. Empty: compressed when written.
        std::vector<uint8_t> deflated;
    };

    // The index of the profile with these bytes for images of `components`, added when new (with
    // `deflated`, its zlib data as the file holds it, if any). Profiles are told apart by their
    // bytes alone (a hash, then a comparison), not by their names.
    int Add(const std::vector<uint8_t>& bytes, int components, std::vector<uint8_t> deflated = {});

    size_t Size() const { return profiles_.size(); }
    const Profile& At(size_t index) const { return profiles_.at(index); }

private:
    std::vector<Profile> profiles_;
    std::unordered_multimap<size_t, int> byHash_;
};

// The lowest PDF 1.x minor version whose ICCBased colour spaces take a profile of the version its
// header states (bytes 8 and 9): 3 up to version 2.1, 4 for the rest of 2.x, 5 for 4.0, 6 for
// 4.1, 7 after that. A header too short to say counts as the oldest.
int PdfMinorForProfile(const std::vector<uint8_t>& profile);

}  // namespace jpeg2pdf
