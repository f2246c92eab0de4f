// SPDX-License-Identifier: GPL-2.0-or-later
// The arguments of leafbind-watch, read without touching any file: the watched folder, where the
// documents go, where the sources go, the settle time, and the export options every document is
// made with. Arguments are bytes and stay bytes.
#pragma once

#include <string>
#include <vector>

#include "ExportOptionReader.h"
#include "SharedArguments.h"

namespace cli {

struct WatchCommandLine : SharedArguments, ExportChoices {
    enum class Action { Watch, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string in, out;
    std::string archive;  // --archive DIR; empty with --remove-sources
    bool removeSources = false;
    double settleSeconds = 30;  // --settle
    double pollSeconds = 0;  // --poll; 0: notices (inotify)
};

// `args` without the program name. Not thread-safe: it uses getopt_long's global state.
WatchCommandLine ParseWatchCommandLine(const std::vector<std::string>& args);

// Where the folders lie, checked against each other on the file system: OUT and the archive may
// not lie inside IN (the watcher would feed itself). Empty when they are sound, else the usage
// error.
std::string CheckWatchPlaces(const WatchCommandLine& command);

// The --help text.
extern const char* const kWatchUsage;

}  // namespace cli
