// SPDX-License-Identifier: GPL-2.0-or-later
// The password of an encrypted document: read from a file (or standard input), or typed at the
// terminal with echo off. Never taken as an argument, where the process list would show it.
#pragma once

#include <string>

namespace cli {

// The first line of the file at `path` ("-": standard input), without its line end; false
// with a message in `error`.
bool ReadPasswordFile(const std::string& path, int standardInput, std::string& password, std::string& error);

// Asks on `promptFd` and reads one line from `terminalFd` with echo off; false when it is no
// terminal or nothing can be read.
bool AskPassword(int terminalFd, int promptFd, const std::string& prompt, std::string& password);

}  // namespace cli
