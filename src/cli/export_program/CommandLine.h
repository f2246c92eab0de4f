// SPDX-License-Identifier: GPL-2.0-or-later
// The arguments of leafbind-export, read without touching any file. Arguments are bytes and stay
// bytes: a file name is whatever the shell handed over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExportDetails.h"
#include "OcrSettings.h"
#include "SharedArguments.h"

namespace cli {

// With the shared arguments: `error` for UsageError, `sources` the JPEG files and lists.
struct CommandLine : SharedArguments {
    enum class Action { Export, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string output;  // "-" for standard output
    bool force = false;
    // What the options ask of the engine, validated; how the output is opened and reported is
    // left to the runner.
    jpeg2pdf::ExportOptions options;
    bool recognise = false;  // --ocr: an invisible text layer from the pictures' recognised words
    ocr::OcrSettings ocr;
    // --text, --hocr, --alto: the recognised text as files beside the document ("-" for standard
    // output); empty when not asked for.
    std::string textFile, hocrFile, altoFile;
    std::string tessdata;  // --tessdata: the language data's folder; empty for the usual one

    // --duplex: the list holds the fronts, then the backs last first; pages go front 1, back 1, ...
    bool duplex = false;
    // --drop-blank[=PERCENT]: pages with less ink than this share of their pixels are left out.
    bool dropBlank = false;
    double blankPercent = kDefaultBlankPercent;
    int jobs = 1;  // --jobs: documents (with --folders), pages measured or recognised, at once

    // --folders: each folder under each argument that holds pictures is a document of its own,
    // written under outputFolder (-O); sources then name folders.
    bool folders = false;
    std::string outputFolder;
    // --shard K/N: only the folders whose relative path falls in shard K of N (count 0: all).
    uint64_t shardIndex = 0, shardCount = 0;

    // The share of ink below which --drop-blank leaves a page out, in percent: between a back with
    // specks and dust (about 0.001 %) and one short line of 10-point text (about 0.03 %).
    static constexpr double kDefaultBlankPercent = 0.01;
};

// `args` without the program name. Not thread-safe: it uses getopt_long's global state.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The --help text.
extern const char* const kUsage;

}  // namespace cli
