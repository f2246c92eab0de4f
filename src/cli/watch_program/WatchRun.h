// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-watch's run: records left by an earlier run completed, then every entry of the watched
// folder taken once it has settled, its document made, put on disk and named, and its sources
// moved or removed, until a signal ends the process.
#pragma once

#include "WatchCommandLine.h"

namespace cli {

enum WatchStatus {
    kWatchStatusUsage = 2,  // also: the recogniser or its languages cannot be loaded
    kWatchCannotStart = 3,  // a folder cannot be made, opened or watched, or another watcher holds OUT
};

// Runs until a signal ends the process; returns only when it cannot go on.
int RunWatch(const WatchCommandLine& command);

// For the signal handler: removes the document under way, if any. Async-signal-safe.
void RemoveDocumentUnderWay() noexcept;

}  // namespace cli
