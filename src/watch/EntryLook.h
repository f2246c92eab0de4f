// SPDX-License-Identifier: GPL-2.0-or-later
// What the watcher sees of an entry of the watched folder at one look: the names, sizes and times
// of everything in it, so two looks tell whether anything was created, written, renamed or
// changed in between. Names are bytes. Plain C++ and POSIX.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace watch {

// Names the watcher never takes and never looks into: hidden ones (a dot first, which covers the
// ._ files of AppleDouble and .DS_Store), and the folder files of Windows (Thumbs.db, desktop.ini,
// in any case).
bool SkippedName(std::string_view name) noexcept;

struct ItemState {
    std::string path;  // relative to the entry; empty for the entry itself
    mode_t type = 0;  // S_IFREG, S_IFDIR, S_IFLNK, ...
    ino_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;  // the inode's change time: a rename into place, a chmod, a truncation
    bool operator==(const ItemState&) const = default;
};

struct EntryLook {
    bool exists = false;
    bool folder = false;  // a folder; otherwise a regular file
    std::vector<ItemState> items;  // the entry first, then what a folder holds, sub-folders too, in name order
    bool operator==(const EntryLook&) const = default;
};

// Most items and depth a look records; a folder beyond them is seen to the limit, which still
// notices most writes (and the folder's own time changes with every name added or removed).
inline constexpr size_t kMostLookItems = 100000;
inline constexpr int kMostLookDepth = 32;

// Looks at `name` directly in the folder open as `folderFd`, without following links. An entry
// that is gone, or is no longer a regular file or folder, looks as not existing.
EntryLook LookAt(int folderFd, const std::string& name);

// Whether a process of this system has a regular file of the entry open for writing: a writer that
// pauses longer than the settle time is still writing. Told by a read lease, which the system
// refuses (EAGAIN) while the file is open for writing anywhere on it; writers on other machines
// of a network share, and files this process may not lease (another owner's, without
// CAP_LEASE), are not seen, and the looks alone decide for them. The process must ignore SIGIO,
// which a writer opening the file during the lease's instant would send.
bool OpenForWriting(int folderFd, const std::string& name, const EntryLook& look);

// The names directly in `folder` the watcher considers: folders and regular files, without
// symbolic links, other kinds of file, and skipped names. False with errno when the folder
// cannot be read.
bool WatchedNames(int folderFd, std::vector<std::string>& names);

}  // namespace watch
