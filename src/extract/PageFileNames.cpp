// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageFileNames.h"

#include <unordered_map>
#include <unordered_set>

#include "SafeFileName.h"

namespace extract {

std::vector<std::string> PageFileNames(const std::vector<std::string>& titles, int pageCount,
                                       const std::vector<PictureFormat>& formats)
{
    const bool titled = titles.size() == static_cast<size_t>(pageCount);
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(pageCount));
    std::unordered_set<std::string> taken;
    // The number to try next for a wanted name, so many pages with one title cost no more than
    // as many titles.
    std::unordered_map<std::string, int> nextNumber;
    for (int page = 0; page < pageCount; ++page) {
        const PictureFormat format = static_cast<size_t>(page) < formats.size() ? formats[static_cast<size_t>(page)]
                                                                                : PictureFormat::Jpeg;
        std::string name = titled ? SafeFileName(titles[static_cast<size_t>(page)], format) : std::string();
        if (name.empty())
            name = PageFileName(page + 1, pageCount, format);
        std::string unique = name;
        if (taken.contains(unique)) {
            int& n = nextNumber.try_emplace(name, 2).first->second;
            do
                unique = NumberedName(name, n++);
            while (taken.contains(unique));
        }
        taken.insert(unique);
        names.push_back(std::move(unique));
    }
    return names;
}

}  // namespace extract
