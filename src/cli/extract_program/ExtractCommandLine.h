// SPDX-License-Identifier: GPL-2.0-or-later
// The arguments of leafbind-extract, read without touching any file; bytes stay bytes.
#pragma once

#include <string>
#include <vector>

#include "SharedArguments.h"

namespace cli {

// With the shared arguments: `error` for UsageError; `sources` for Verify, the JPEG files and
// lists.
struct ExtractCommandLine : SharedArguments {
    enum class Action { Extract, Verify, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string document;
    std::string folder;  // Extract: where the pictures go; empty for the current folder
    bool force = false;
    std::string passwordFile;  // --password-file: "-" for standard input; empty: none
};

// `args` without the program name. Not thread-safe: it uses getopt_long's global state.
ExtractCommandLine ParseExtractCommandLine(const std::vector<std::string>& args);

// The --help text.
extern const char* const kExtractUsage;

}  // namespace cli
