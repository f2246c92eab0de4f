// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProfileTable.h"

#include <string_view>
#include <utility>

#include "IccProfile.h"

namespace jpeg2pdf {

int ProfileTable::Add(const std::vector<uint8_t>& bytes, int components, std::vector<uint8_t> deflated)
{
    const size_t hash
        = std::hash<std::string_view> {}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const auto [first, last] = byHash_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        const Profile& known = profiles_[static_cast<size_t>(it->second)];
        if (known.components == components && known.bytes == bytes)
            return it->second;
    }
    profiles_.push_back({bytes, components, std::move(deflated)});
    const int index = static_cast<int>(profiles_.size() - 1);
    byHash_.emplace(hash, index);
    return index;
}

int PdfMinorForProfile(const std::vector<uint8_t>& profile)
{
    const auto [major, minor] = ReadIccVersion(profile.data(), profile.size());
    if (major < 2 || (major == 2 && minor <= 1))
        return 3;
    if (major == 2)
        return 4;
    if (major == 4 && minor == 0)
        return 5;
    if (major == 4 && minor == 1)
        return 6;
    return 7;
}

}  // namespace jpeg2pdf
