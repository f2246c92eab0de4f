// SPDX-License-Identifier: GPL-2.0-or-later
// The file name each page's picture takes when extracted.
#pragma once

#include <string>
#include <vector>

#include "SafeFileName.h"

namespace extract {

// One name per page: with a title per page (the document's bookmarks), each page's title made
// safe (SafeFileName), a page whose title makes no name taking its page name; without titles
// (empty), "page-0001.jpg" and on. `formats` gives each page's kind of file, and so its extension
// (empty: every page a JPEG). Names are unique: a later page that wants a taken name gets
// " (2)", " (3)"... before its extension.
std::vector<std::string> PageFileNames(const std::vector<std::string>& titles, int pageCount,
                                       const std::vector<PictureFormat>& formats = {});

}  // namespace extract
