// SPDX-License-Identifier: GPL-2.0-or-later
// Keeps what the metafile libraries print on their own (warnings, progress) off the user's terminal.
#pragma once

#include <QtGlobal>

// While alive, the process's standard output and error go to /dev/null and Qt's messages are
// dropped (standard error stays in sanitizer builds, for their reports). The program is
// single-threaded GUI code, so nothing else is expected to write meanwhile.
class QuietLibraryOutput {
public:
    QuietLibraryOutput();
    ~QuietLibraryOutput();
    QuietLibraryOutput(const QuietLibraryOutput&) = delete;
    QuietLibraryOutput& operator=(const QuietLibraryOutput&) = delete;

private:
    int savedOut_ = -1;
    int savedErr_ = -1;
    QtMessageHandler previousHandler_ = nullptr;
};
