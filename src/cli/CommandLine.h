// SPDX-License-Identifier: GPL-2.0-or-later
// The arguments of leafbind-export, read without touching any file. Arguments are bytes and stay
// bytes: a file name is whatever the shell handed over.
#pragma once

#include <string>
#include <vector>

#include "ExportDetails.h"
#include "OcrSettings.h"

namespace cli {

// Where the pages come from, in command-line order: a JPEG file, or an image list file
// ("-" for standard input).
struct Source {
    bool isList = false;
    std::string path;
};

struct CommandLine {
    enum class Action { Export, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string error;  // for UsageError: what is wrong, without the program's name
    std::string output;  // "-" for standard output
    std::vector<Source> sources;
    bool force = false;
    bool quiet = false;
    bool nulSeparated = false;  // list files and standard input are NUL-separated (-0)
    // What the options ask of the engine, validated; how the output is opened and reported is
    // left to the runner.
    jpeg2pdf::ExportOptions options;
    bool recognise = false;  // --ocr: an invisible text layer from the pictures' recognised words
    ocr::OcrSettings ocr;
};

// `args` without the program name. Not thread-safe: it uses getopt_long's global state.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The --help text.
extern const char* const kUsage;

}  // namespace cli
