// SPDX-License-Identifier: GPL-2.0-or-later
// Runs an export as the command line asks and turns the engine's report into an exit status and
// at most one line of explanation on standard error.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "CommandLine.h"
#include "ExportDetails.h"
#include "ListEntries.h"
#include "RecognitionSource.h"
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

// Runs an Export action (its sources must not be empty): one list, or with --folders a document
// per folder (see FolderRun.h); its messages name `program`, a program that runs exports of its
// own (the watcher).
int RunExport(const CommandLine& command, const Streams& streams, const char* program = "leafbind-export");

// Writes the program's name (that of the last RunExport, "leafbind-export" before any) and
// `message` as one line to `fd`.
void Complain(int fd, const std::string& message);

// One message line, without the program's name.
using MessageSay = std::function<void(const std::string& message)>;

// The engine's outcome said in lines (nothing for a document written) and its exit status.
int ExplainOutcome(const jpeg2pdf::ExportOutcome& outcome, const std::string& outputName, const Entries& entries,
                   const MessageSay& say);

// The pages in the order and selection --duplex and --drop-blank ask for, each blank page named
// (unless quiet). kExitWritten to go on; otherwise the status, said: an odd count under --duplex
// is `oddStatus`, a document left without pages kExitUnusableEntry.
int ArrangePages(const CommandLine& command, Entries& entries, int oddStatus, int jobs, const MessageSay& say);

// "0.0042 %"
std::string ShownPercent(double percent);

// With --ocr or --deskew, opens the recogniser with `settings` for the pages of `entries` (which
// must outlive it): `say` for errors and pages left without text, `noteWarning` (null: none) for
// the rest. With `checkLanguages`, language data that cannot be used is said and a usage error.
// kExitWritten when it is open or not asked for.
int OpenRecognitionFor(const CommandLine& command, const ocr::OcrSettings& settings, const Entries& entries,
                       const MessageSay& say, const MessageSay& noteWarning, bool checkLanguages,
                       std::unique_ptr<ocr::RecognitionSource>& recognised);

// The --folders run.
int RunFolders(const CommandLine& command, const Streams& streams);

}  // namespace cli
