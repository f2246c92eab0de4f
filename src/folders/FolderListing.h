// SPDX-License-Identifier: GPL-2.0-or-later
// The pictures directly in one folder, in natural order, and what else the folder holds: for
// leafbind-export --folders and for the watcher. Names are bytes, as the file system has them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folders {

// Natural order of two names: runs of digits compare by their value (IMG_2 before IMG_10, and
// 007 beside 7), ASCII letters without their case (img_3 between IMG_2 and IMG_4), every other
// byte by its value (UTF-8 so by code point). Names these rules find equal ("IMG_02", "IMG_2",
// "img_2") are ordered by their plain bytes, so no two different names are ever equal.
bool NaturalLess(std::string_view a, std::string_view b) noexcept;

struct ListingRules {
    // True: a link to a picture counts as the picture (as the window's folder drop). False: every
    // symbolic link is skipped as another entry. A link to a folder is never a sub-folder.
    bool followLinks = true;
};

struct FolderListing {
    // errno when the folder itself could not be opened or read to its end; then nothing else is set.
    int systemError = 0;
    std::vector<std::string> pictures;  // names of the pictures taken, by their first bytes
    std::vector<std::string> folders;  // names of the sub-folders that are not hidden
    int hidden = 0;  // names starting with a dot, files and folders alike
    // Regular files that are no picture taken (text, a PDF, an empty file, a GIF), FIFOs, devices,
    // sockets, links to folders, and links at all when they are not followed.
    int notPictures = 0;
    int unreadable = 0;  // entries that vanished while listed or may not be read (EACCES)

    int Skipped() const { return hidden + notPictures + unreadable; }
};

// Lists `folder` (one level), both name lists in natural order. Reads the first bytes of every
// regular file that is not hidden, without waiting on a FIFO; never follows a link to a folder.
FolderListing ListFolder(const std::string& folder, const ListingRules& rules = {});

}  // namespace folders
