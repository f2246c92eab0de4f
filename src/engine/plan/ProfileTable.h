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
    };

    // The index of the profile with these bytes for images of `components`, added when new.
    // Profiles are told apart by their bytes alone (a hash, then a comparison), not by their names.
    int Add(const std::vector<uint8_t>& bytes, int components);

    size_t Size() const { return profiles_.size(); }
    const Profile& At(size_t index) const { return profiles_.at(index); }

private:
    std::vector<Profile> profiles_;
    std::unordered_multimap<size_t, int> byHash_;
};

}  // namespace jpeg2pdf
