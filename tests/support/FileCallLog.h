// SPDX-License-Identifier: GPL-2.0-or-later
// A record of the calls that put a replacement file in place, to check their order.
#pragma once

#include <string>
#include <vector>

// While set, each fsync, linkat, rename and renameat2 of this process is noted by file name, a
// hidden file's random part left out and a file without a name as "(unnamed)": "fsync (unnamed)",
// "link (unnamed) .leafbind-", "rename .leafbind- out.pdf", "fsync <folder>".
extern std::vector<std::string>* fileCallLog;

// The last part of a path as the log names it.
std::string LoggedName(const std::string& path);
