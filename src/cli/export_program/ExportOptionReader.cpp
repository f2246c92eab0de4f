// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExportOptionReader.h"

#include <sched.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

#include "DateOption.h"
#include "InfoText.h"
#include "LanguageData.h"
#include "PaperSize.h"
#include "ReaderLimits.h"
#include "ShownName.h"

namespace cli {

namespace {

enum ExportCode : int {
    kAutoOrient = kVersionCode + 1,
    kIcc,
    kDpi,
    kPageSize,
    kFit,
    kMargin,
    kTitle,
    kAuthor,
    kSubject,
    kKeywords,
    kDate,
    kBookmarks,
    kStripMetadata,
    kPdfa,
    kOcr,
    kOcrLang,
    kRotatePages,
    kJobs,
    kDeskew,
    kTessdata,
    kDuplex,
    kDropBlank,
    kText,
    kHocr,
    kAlto,
};
static_assert(kAlto < kFirstProgramCode);

constexpr option kExportOptions[] = {
    {"auto-orient", no_argument, nullptr, kAutoOrient},
    {"icc", no_argument, nullptr, kIcc},
    {"dpi", required_argument, nullptr, kDpi},
    {"page-size", required_argument, nullptr, kPageSize},
    {"fit", required_argument, nullptr, kFit},
    {"margin", required_argument, nullptr, kMargin},
    {"title", required_argument, nullptr, kTitle},
    {"author", required_argument, nullptr, kAuthor},
    {"subject", required_argument, nullptr, kSubject},
    {"keywords", required_argument, nullptr, kKeywords},
    {"date", required_argument, nullptr, kDate},
    {"bookmarks", no_argument, nullptr, kBookmarks},
    {"strip-metadata", no_argument, nullptr, kStripMetadata},
    {"pdfa", required_argument, nullptr, kPdfa},
    {"ocr", no_argument, nullptr, kOcr},
    {"ocr-lang", required_argument, nullptr, kOcrLang},
    {"rotate-pages", no_argument, nullptr, kRotatePages},
    {"jobs", required_argument, nullptr, kJobs},
    {"deskew", no_argument, nullptr, kDeskew},
    {"tessdata", required_argument, nullptr, kTessdata},
    {"duplex", no_argument, nullptr, kDuplex},
    {"drop-blank", optional_argument, nullptr, kDropBlank},
    // The text files last: a program that makes many documents leaves them out.
    {"text", required_argument, nullptr, kText},
    {"hocr", required_argument, nullptr, kHocr},
    {"alto", required_argument, nullptr, kAlto},
};
constexpr size_t kTextFileOptions = 3;

bool SameWord(const char* text, const char* word) { return strcasecmp(text, word) == 0; }

constexpr long kMaxJobs = 256;

// The processors this process may run on.
int ProcessorCount()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    return std::clamp(CPU_COUNT(&set), 1, static_cast<int>(kMaxJobs));
}

// A decimal number from 0 to 100 ("0.05", "1", ".5"), without the locale's decimal sign.
bool ParsePercent(const std::string& text, double& percent)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789.") != std::string::npos
        || std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return false;
    double value = 0, scale = 1;
    bool fraction = false;
    for (char c : text) {
        if (c == '.') {
            fraction = true;
            continue;
        }
        if (fraction)
            value += (c - '0') * (scale /= 10);
        else
            value = value * 10 + (c - '0');
    }
    if (value > 100)
        return false;
    percent = value;
    return true;
}

}  // namespace

std::vector<option> ExportOptionReader::LongOptions(bool textFiles)
{
    return {std::begin(kExportOptions), std::end(kExportOptions) - (textFiles ? 0 : kTextFileOptions)};
}

std::string ExportOptionReader::BadValue(int code, const std::string& value, const std::string& why) const
{
    return "invalid value '" + ShownName(value) + "' for " + nameOf_(code) + ": " + why;
}

bool ExportOptionReader::Handle(int code, const std::string& value, std::string& error)
{
    jpeg2pdf::ExportOptions& options = choices_.options;
    jpeg2pdf::PageLayout& layout = options.layout;
    switch (code) {
    case kAutoOrient:
        options.autoOrient = true;
        return true;
    case kIcc:
        options.embedProfiles = true;
        return true;
    case kBookmarks:
        options.bookmarks = true;
        return true;
    case kStripMetadata:
        options.stripMetadata = true;
        return true;
    case kTitle:
        options.info.title = InfoTextAsUtf8(value);
        return true;
    case kAuthor:
        options.info.author = InfoTextAsUtf8(value);
        return true;
    case kSubject:
        options.info.subject = InfoTextAsUtf8(value);
        return true;
    case kKeywords:
        options.info.keywords = InfoTextAsUtf8(value);
        return true;
    case kOcr:
        choices_.recognise = true;
        return true;
    case kDeskew:
        choices_.ocr.straighten = true;
        return true;
    case kRotatePages:
        choices_.ocr.rotatePages = true;
        ocrOnly_ = "--rotate-pages";
        return true;
    case kDpi:
        if (value == "auto")
            layout.density = jpeg2pdf::DensitySource::FromFile;
        else if (ParseDotsPerInch(value, layout.dotsPerInch))
            layout.density = jpeg2pdf::DensitySource::Fixed;
        else
            error = BadValue(code, value, "use auto or a number of dots per inch from 1 to 100,000");
        return true;
    case kPageSize: {
        std::string why;
        if (!ParsePaperSize(value, layout.paperWidth, layout.paperHeight, why))
            error = BadValue(code, value, why);
        return true;
    }
    case kFit:
        if (SameWord(value.c_str(), "into"))
            layout.fit = jpeg2pdf::FitMode::Into;
        else if (SameWord(value.c_str(), "fill"))
            layout.fit = jpeg2pdf::FitMode::Fill;
        else if (SameWord(value.c_str(), "shrink"))
            layout.fit = jpeg2pdf::FitMode::Shrink;
        else
            error = BadValue(code, value, "use into, fill or shrink");
        fitGiven_ = error.empty();
        return true;
    case kMargin:
        if (!ParseLength(value, layout.margin))
            error = BadValue(code, value, "use a length such as 10mm, 0.5in or 36 (points)");
        else
            marginText_ = value;
        return true;
    case kDate: {
        std::string why;
        if (ParseDocumentDate(value, options.info.created, why))
            options.info.hasDate = true;
        else
            error = BadValue(code, value, why);
        return true;
    }
    case kPdfa:
        if (SameWord(value.c_str(), "2b"))
            options.pdfa = jpeg2pdf::PdfAPart::A2b;
        else if (SameWord(value.c_str(), "1b"))
            options.pdfa = jpeg2pdf::PdfAPart::A1b;
        else
            error = BadValue(code, value, "use 2b or 1b");
        return true;
    case kOcrLang:
        if (!ocr::ValidLanguageList(value)) {
            error = BadValue(code, value, "use language names joined by +, as eng or deu+eng");
        } else {
            choices_.ocr.languages = value;
            ocrOnly_ = "--ocr-lang";
        }
        return true;
    case kText:
    case kHocr:
    case kAlto:
    case kTessdata: {
        if (value.empty()) {
            error = BadValue(code, value, code == kTessdata ? "name a folder" : "name a file, or - for standard output");
            return true;
        }
        std::string& file = code == kText ? choices_.textFile
            : code == kHocr               ? choices_.hocrFile
            : code == kAlto               ? choices_.altoFile
                                          : choices_.tessdata;
        file = value;
        recognitionOnly_ = nameOf_(code);
        return true;
    }
    case kJobs: {
        char* end = nullptr;
        const long jobs = value.empty() || !std::isdigit(static_cast<unsigned char>(value[0]))
            ? 0
            : std::strtol(value.c_str(), &end, 10);
        if (jobs < 1 || jobs > kMaxJobs || *end != '\0') {
            error = BadValue(code, value, "use a whole number from 1 to " + std::to_string(kMaxJobs));
        } else {
            choices_.ocr.jobs = static_cast<int>(jobs);
            jobsGiven_ = true;
        }
        return true;
    }
    case kDuplex:
        choices_.duplex = true;
        return true;
    case kDropBlank:
        choices_.dropBlank = true;
        if (!value.empty() && !ParsePercent(value, choices_.blankPercent))
            error = BadValue(code, value, "use a share of the page's pixels in percent, from 0 to 100, as 0.05");
        return true;
    default:
        return false;
    }
}

std::string ExportOptionReader::CheckLayout() const
{
    const jpeg2pdf::PageLayout& layout = choices_.options.layout;
    if (layout.paperWidth == 0) {
        if (fitGiven_ || !marginText_.empty())
            return std::string(fitGiven_ ? "--fit" : "--margin") + " needs --page-size";
        return "";
    }
    if (std::min(layout.paperWidth, layout.paperHeight) - 2 * layout.margin < jpeg2pdf::kSmallestPageSide)
        return "a --margin of '" + ShownName(marginText_) + "' leaves less than 3 points between the margins";
    return "";
}

// Under PDF/A each text string has a most bytes it may hold; without it, text is written whole.
std::string ExportOptionReader::CheckTextLengths() const
{
    const jpeg2pdf::PdfAPart part = choices_.options.pdfa;
    const size_t most = jpeg2pdf::PdfAMostTextStringBytes(part);
    const jpeg2pdf::DocumentInfo& info = choices_.options.info;
    const std::pair<const char*, const std::string*> texts[] = {{"--title", &info.title},
                                                                {"--author", &info.author},
                                                                {"--subject", &info.subject},
                                                                {"--keywords", &info.keywords}};
    for (const auto& [name, text] : texts) {
        const size_t bytes = most == 0 ? 0 : jpeg2pdf::PdfTextStringBytes(*text);
        if (bytes > most)
            return std::string(name) + " takes " + std::to_string(bytes) + " bytes in the document; PDF/A-"
                + (part == jpeg2pdf::PdfAPart::A1b ? "1b" : "2b") + " holds at most " + std::to_string(most)
                + " in a text string";
    }
    return "";
}

void ExportOptionReader::Finish(std::string& error, const std::string& documentsOption, bool manyDocuments)
{
    const auto fail = [&error](const std::string& why) {
        if (error.empty())
            error = why;
    };
    if (error.empty())
        fail(CheckLayout());
    if (error.empty())
        fail(CheckTextLengths());
    if (!ocrOnly_.empty() && !choices_.recognise)
        fail(ocrOnly_ + " needs --ocr");
    // Jobs spread documents, pages measured for ink and pages recognised or straightened.
    if (jobsGiven_ && !manyDocuments && !choices_.dropBlank && !choices_.recognise && !choices_.ocr.straighten)
        fail(documentsOption.empty() ? "--jobs needs --ocr, --deskew or --drop-blank"
                                     : "--jobs needs --ocr, --deskew, --drop-blank or " + documentsOption);
    if (!recognitionOnly_.empty() && !choices_.recognise)
        fail(recognitionOnly_ + " needs --ocr");
    jpeg2pdf::ExportOptions& options = choices_.options;
    choices_.ocr.recognise = choices_.recognise;
    if (!jobsGiven_)
        choices_.ocr.jobs = ProcessorCount();
    choices_.jobs = choices_.ocr.jobs;
    // Only the command line accepts grey pictures; PDF/A needs each picture's colours.
    options.acceptGray = true;
    // And PNG files, whose compressed rows are copied as JPEG files are.
    options.acceptPng = true;
    // And the pages of TIFF files, their strips copied where PDF can carry them.
    options.acceptTiff = true;
    if (options.pdfa != jpeg2pdf::PdfAPart::None)
        options.embedProfiles = true;
}

}  // namespace cli
