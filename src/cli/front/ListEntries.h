// SPDX-License-Identifier: GPL-2.0-or-later
// The entries of the export in command-line order, from JPEG arguments and list files, each with
// where it came from so a message can name the list and line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Where the pages come from, in command-line order: a file, or an image list file ("-" for
// standard input).
struct Source {
    bool isList = false;
    std::string path;
};

struct Origin {
    std::string list;  // the list as it is shown; empty for a command-line argument
    size_t line = 0;  // from 1; for a NUL-separated list, the name's place in it
};

struct Entries {
    std::vector<std::string> paths;
    std::vector<Origin> origins;  // one per path
};

// A list's entries: lines ended by CR LF, CR or LF, or with `nulSeparated` names ended by NUL
// bytes. A UTF-8 byte order mark at the start is skipped; an ending after the last entry adds no
// empty one. False with `why` when lines hold a NUL byte before the last byte.
bool SplitListText(std::string_view text, bool nulSeparated, std::vector<std::string>& entries, std::string& why);

// A list file's entry as it is opened: a relative one is taken from the list file's folder, as
// playlists do. `listPath` "-" (standard input) leaves it relative to the current folder.
std::string EntryFromList(const std::string& listPath, std::string entry);

// Every source in order, standard input read from `in`; with `nulSeparated` lists hold NUL-ended
// names. False with `error` (a message without the program's name) when a list cannot be read or
// split.
bool GatherEntries(const std::vector<Source>& sources, bool nulSeparated, int in, Entries& entries,
                   std::string& error);

// An entry as a message names it: "photos.txt:12: /x/a.jpg" for a list's entry, the path alone
// for an argument.
std::string ShownEntry(const Entries& entries, int entry);

}  // namespace cli
