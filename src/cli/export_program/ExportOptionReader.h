// SPDX-License-Identifier: GPL-2.0-or-later
// The options that say how a document is made (pages, document, text), read alike by every
// program that exports: leafbind-export for its one document, leafbind-watch for each one it
// makes. A program's parser hands each option it does not know itself to Handle, and calls Finish
// once the command line is read.
#pragma once

#include <getopt.h>

#include <functional>
#include <string>
#include <vector>

#include "CommandParser.h"
#include "ExportDetails.h"
#include "OcrSettings.h"

namespace cli {

// What the export options ask of the engine and the recogniser, validated.
struct ExportChoices {
    jpeg2pdf::ExportOptions options;
    bool recognise = false;  // --ocr: an invisible text layer from the pictures' recognised words
    ocr::OcrSettings ocr;
    // --text, --hocr, --alto: the recognised text as files beside the document ("-" for standard
    // output); empty when not asked for.
    std::string textFile, hocrFile, altoFile;
    std::string tessdata;  // --tessdata: the language data's folder; empty for the usual one
};

// The first code a program may give an option of its own that has no short form; the export
// options take the codes between kVersionCode and it.
inline constexpr int kFirstProgramCode = 400;

class ExportOptionReader {
public:
    // How the program names an option as the user wrote it, for a message.
    using OptionNamer = std::function<std::string(int code)>;

    // `choices` must outlive the reader.
    ExportOptionReader(ExportChoices& choices, OptionNamer nameOf) : choices_(choices), nameOf_(std::move(nameOf)) { }

    // The export options for getopt_long, without the null entry that ends a table. With
    // `textFiles`, --text, --hocr and --alto too.
    static std::vector<option> LongOptions(bool textFiles);

    // False when `code` is not an export option. Otherwise true, with `error` set when the value
    // is refused.
    bool Handle(int code, const std::string& value, std::string& error);

    // The checks that need every option (the first failure in `error`, when it is empty), then
    // what follows from them: the defaults the command line gives the engine.
    void Finish(std::string& error);

private:
    std::string BadValue(int code, const std::string& value, const std::string& why) const;
    std::string CheckLayout() const;
    std::string CheckTextLengths() const;

    ExportChoices& choices_;
    OptionNamer nameOf_;
    bool fitGiven_ = false;
    std::string marginText_;
    std::string ocrOnly_;  // the last option given that means something only with --ocr
    std::string recognitionOnly_;  // the same for the text files and --tessdata, which --deskew does not take
    bool jobsGiven_ = false;
};

}  // namespace cli
