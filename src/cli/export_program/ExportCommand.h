// SPDX-License-Identifier: GPL-2.0-or-later
// Runs an export as the command line asks and turns the engine's report into an exit status and
// at most one line of explanation on standard error.
#pragma once

#include "CommandLine.h"
#include "ExitStatus.h"
#include "ShownName.h"
#include "Streams.h"

namespace cli {

enum ExportStatus {
    kExitWritten = kStatusDone,
    kExitUnusableEntry = 1,
    kExitUsage = kStatusUsage,
    kExitCannotCreate = 3,
    kExitFailedWriting = 4,
    // Written, but a page lacks text its picture holds: the picture could not be decoded (whole).
    kExitTextLacking = 5,
};

// Runs an Export action (its sources must not be empty); its messages name `program`, a program
// that runs exports of its own (the watcher).
int RunExport(const CommandLine& command, const Streams& streams, const char* program = "leafbind-export");

// Writes the program's name (that of the last RunExport, "leafbind-export" before any) and
// `message` as one line to `fd`.
void Complain(int fd, const std::string& message);

}  // namespace cli
