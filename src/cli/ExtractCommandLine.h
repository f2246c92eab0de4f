// SPDX-License-Identifier: GPL-2.0-or-later
// The arguments of leafbind-extract, read without touching any file; bytes stay bytes.
#pragma once

#include <string>
#include <vector>

#include "CommandLine.h"

namespace cli {

struct ExtractCommandLine {
    enum class Action { Extract, Verify, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string error;  // for UsageError: what is wrong, without the program's name
    std::string document;
    std::string folder;  // Extract: where the pictures go; empty for the current folder
    std::vector<Source> sources;  // Verify: the JPEG files and lists, in command-line order
    bool force = false;
    bool quiet = false;
    bool nulSeparated = false;
};

// `args` without the program name. Not thread-safe: it uses getopt_long's global state.
ExtractCommandLine ParseExtractCommandLine(const std::vector<std::string>& args);

// The --help text.
extern const char* const kExtractUsage;

}  // namespace cli
