// SPDX-License-Identifier: GPL-2.0-or-later
// Runs leafbind-extract's two actions and turns what they find into lines and an exit status.
#pragma once

#include <string>

#include "ExitStatus.h"
#include "ExtractCommandLine.h"
#include "Streams.h"

namespace cli {

enum ExtractStatus {
    kExtractDone = kStatusDone,  // every picture written; every page matches
    kExtractPageProblem = 1,  // a page has no single JPEG image, or differs from its file
    kExtractUsageError = kStatusUsage,  // usage error or unreadable list
    // the document (or a page of a file cut short) or a file cannot be read, or a picture cannot be written
    kExtractUnreadable = 3,
};

// Each throws what reading the document throws (std::exception); the caller catches it.
int RunExtract(const ExtractCommandLine& command, const Streams& streams);
int RunVerify(const ExtractCommandLine& command, const Streams& streams);

// Writes "leafbind-extract: " and `message` as one line to `fd`.
void ComplainFromExtract(int fd, const std::string& message);

}  // namespace cli
