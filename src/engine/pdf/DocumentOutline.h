// SPDX-License-Identifier: GPL-2.0-or-later
// Bookmarks as the document writes them: the outline's root and one item per page, every item at
// the top level and so always visible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PagePlan.h"

namespace jpeg2pdf {

// The catalog's entries: /Outlines, and /PageMode /UseOutlines when the panel is to be shown open.
std::vector<std::string> OutlineCatalogEntries(const OutlinePlan& outline);

// The root's dictionary and item i's, "<<" to ">>" and a line end; item i opens `pageObject`.
std::string OutlineRoot(const OutlinePlan& outline);
std::string OutlineItem(const OutlinePlan& outline, int64_t i, int64_t pageObject);

}  // namespace jpeg2pdf
