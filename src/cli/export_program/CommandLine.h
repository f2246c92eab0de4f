// SPDX-License-Identifier: GPL-2.0-or-later
// The arguments of leafbind-export, read without touching any file. Arguments are bytes and stay
// bytes: a file name is whatever the shell handed over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExportOptionReader.h"
#include "SharedArguments.h"

namespace cli {

// With the shared arguments: `error` for UsageError, `sources` the JPEG files and lists; with the
// export options, what they ask of the engine, validated (how the output is opened and reported
// is left to the runner).
struct CommandLine : SharedArguments, ExportChoices {
    enum class Action { Export, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string output;  // "-" for standard output
    bool force = false;

    // --folders: each folder under each argument that holds pictures is a document of its own,
    // written under outputFolder (-O); sources then name folders.
    bool folders = false;
    std::string outputFolder;
    // --shard K/N: only the folders whose relative path falls in shard K of N (count 0: all).
    uint64_t shardIndex = 0, shardCount = 0;
    // One document among many a program makes (the watcher's): a list --duplex cannot pair is that
    // document's refusal (status 1), not a usage error that would end the program.
    bool documentAmongMany = false;
};

// `args` without the program name. Not thread-safe: it uses getopt_long's global state.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The --help text.
extern const char* const kUsage;

}  // namespace cli
