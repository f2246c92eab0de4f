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

    // --duplex: the list holds the fronts, then the backs last first; pages go front 1, back 1, ...
    bool duplex = false;
    // --drop-blank[=PERCENT]: pages with less ink than this share of their pixels are left out.
    bool dropBlank = false;
    double blankPercent = kDefaultBlankPercent;
    int jobs = 1;  // --jobs: documents (with --folders), pages measured or recognised, at once

    // The share of ink below which --drop-blank leaves a page out, in percent: between a back with
    // specks and dust (about 0.001 %) and one short line of 10-point text (about 0.03 %).
    static constexpr double kDefaultBlankPercent = 0.01;
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
    // what follows from them: the defaults the command line gives the engine. `documentsOption`
    // names the program's option that makes several documents at once, which --jobs spreads
    // ("--folders"); "" where there is none, and `manyDocuments` whether it was given.
    void Finish(std::string& error, const std::string& documentsOption = "", bool manyDocuments = false);

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
