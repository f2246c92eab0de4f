// SPDX-License-Identifier: GPL-2.0-or-later
// Bookmarks: one outline entry per page, in page order, titled with the file's name without its
// folder and opening its page whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jpeg2pdf {

// The outline's objects: its root, then one item per page.
struct OutlineNumbers {
    int64_t root;
    int64_t entryCount;
    int64_t Item(int64_t i) const { return root + 1 + i; }
    int64_t ObjectCount() const { return entryCount + 1; }
};

// Readers open the outline panel with the document only for a list short enough to take in at a
// glance; a longer one stays a click away.
constexpr int64_t kMostEntriesShownOpen = 20;

// The catalog's entries: /Outlines, and /PageMode /UseOutlines when the panel is to be shown open.
std::vector<std::string> OutlineCatalogEntries(const OutlineNumbers& numbers);

// The root's dictionary and entry i's, "<<" to ">>" and a line end. Every entry is at the top
// level and so always visible: the root counts them all.
std::string OutlineRoot(const OutlineNumbers& numbers);
std::string OutlineItem(const OutlineNumbers& numbers, int64_t i, int64_t pageObject, std::string_view path);

}  // namespace jpeg2pdf
