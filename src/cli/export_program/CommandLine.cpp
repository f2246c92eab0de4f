// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandLine.h"

#include <getopt.h>
#include <sched.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "CommandParser.h"
#include "DateOption.h"
#include "InfoText.h"
#include "LanguageData.h"
#include "PaperSize.h"
#include "ReaderLimits.h"
#include "ShownName.h"

namespace cli {

namespace {

// Long options without a short form.
enum LongOnly : int {
    kVersion = kVersionCode,
    kAutoOrient,
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
    kText,
    kHocr,
    kAlto,
    kTessdata,
};

constexpr option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"list", required_argument, nullptr, 'l'},
    {"null", no_argument, nullptr, '0'},
    {"force", no_argument, nullptr, 'f'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
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
    {"text", required_argument, nullptr, kText},
    {"hocr", required_argument, nullptr, kHocr},
    {"alto", required_argument, nullptr, kAlto},
    {"tessdata", required_argument, nullptr, kTessdata},
    {nullptr, 0, nullptr, 0},
};

// "-": non-options come back in command-line order (as option 1) instead of being moved to the
// end; ":": a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = "-:o:l:0fqh";

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

class Parser : CommandParser {
public:
    explicit Parser(const std::vector<std::string>& args)
        : CommandParser("leafbind-export", args, kShortOptions, kLongOptions, result_)
    {
    }

    CommandLine Run()
    {
        Scan();
        return Finish();
    }

private:
    void Handle(int code, const std::string& value) override
    {
        switch (code) {
        case ':':
            return Fail("option " + OptionName(optopt)
                        + (optopt == 'o' || optopt == 'l' ? " needs a file name" : " needs a value"));
        case 'o':
            if (value.empty())
                return Fail("the output file name is empty");
            if (!result_.output.empty())
                return Fail("only one output file can be given");
            result_.output = value;
            return;
        case 'f':
            result_.force = true;
            return;
        case kAutoOrient:
            options().autoOrient = true;
            return;
        case kIcc:
            options().embedProfiles = true;
            return;
        case kBookmarks:
            options().bookmarks = true;
            return;
        case kStripMetadata:
            options().stripMetadata = true;
            return;
        case kTitle:
            options().info.title = InfoTextAsUtf8(value);
            return;
        case kAuthor:
            options().info.author = InfoTextAsUtf8(value);
            return;
        case kSubject:
            options().info.subject = InfoTextAsUtf8(value);
            return;
        case kKeywords:
            options().info.keywords = InfoTextAsUtf8(value);
            return;
        case kOcr:
            result_.recognise = true;
            return;
        case kDeskew:
            result_.ocr.straighten = true;
            return;
        case kRotatePages:
            result_.ocr.rotatePages = true;
            ocrOnly_ = "--rotate-pages";
            return;
        default:
            return Valued(code, value);
        }
    }

    // Options whose value is checked here.
    void Valued(int code, const std::string& value)
    {
        jpeg2pdf::PageLayout& layout = options().layout;
        switch (code) {
        case kDpi:
            if (value == "auto")
                layout.density = jpeg2pdf::DensitySource::FromFile;
            else if (ParseDotsPerInch(value, layout.dotsPerInch))
                layout.density = jpeg2pdf::DensitySource::Fixed;
            else
                BadValue(code, value, "use auto or a number of dots per inch from 1 to 100,000");
            return;
        case kPageSize: {
            std::string why;
            if (!ParsePaperSize(value, layout.paperWidth, layout.paperHeight, why))
                BadValue(code, value, why);
            return;
        }
        case kFit:
            if (SameWord(value.c_str(), "into"))
                layout.fit = jpeg2pdf::FitMode::Into;
            else if (SameWord(value.c_str(), "fill"))
                layout.fit = jpeg2pdf::FitMode::Fill;
            else if (SameWord(value.c_str(), "shrink"))
                layout.fit = jpeg2pdf::FitMode::Shrink;
            else
                return BadValue(code, value, "use into, fill or shrink");
            fitGiven_ = true;
            return;
        case kMargin:
            if (!ParseLength(value, layout.margin))
                return BadValue(code, value, "use a length such as 10mm, 0.5in or 36 (points)");
            marginText_ = value;
            return;
        case kDate: {
            std::string why;
            if (ParseDocumentDate(value, options().info.created, why))
                options().info.hasDate = true;
            else
                BadValue(code, value, why);
            return;
        }
        case kPdfa:
            if (SameWord(value.c_str(), "2b"))
                options().pdfa = jpeg2pdf::PdfAPart::A2b;
            else if (SameWord(value.c_str(), "1b"))
                options().pdfa = jpeg2pdf::PdfAPart::A1b;
            else
                BadValue(code, value, "use 2b or 1b");
            return;
        case kOcrLang:
            if (!ocr::ValidLanguageList(value))
                return BadValue(code, value, "use language names joined by +, as eng or deu+eng");
            result_.ocr.languages = value;
            ocrOnly_ = "--ocr-lang";
            return;
        case kText:
        case kHocr:
        case kAlto:
        case kTessdata: {
            if (value.empty())
                return BadValue(code, value,
                                code == kTessdata ? "name a folder" : "name a file, or - for standard output");
            std::string& file = code == kText ? result_.textFile
                : code == kHocr               ? result_.hocrFile
                : code == kAlto               ? result_.altoFile
                                              : result_.tessdata;
            file = value;
            recognitionOnly_ = OptionName(code);
            return;
        }
        case kJobs: {
            char* end = nullptr;
            const long jobs = value.empty() || !std::isdigit(static_cast<unsigned char>(value[0]))
                ? 0
                : std::strtol(value.c_str(), &end, 10);
            if (jobs < 1 || jobs > kMaxJobs || *end != '\0')
                return BadValue(code, value, "use a whole number from 1 to " + std::to_string(kMaxJobs));
            result_.ocr.jobs = static_cast<int>(jobs);
            jobsGiven_ = true;
            ocrOnly_ = "--jobs";
            return;
        }
        default:
            Fail("unknown option " + LastArgument());  // not reached: every option is handled
        }
    }

    void AddArgument(const std::string& path) override
    {
        if (path == "-")
            Fail("a JPEG cannot come from standard input (a list can: -l -)");
        else
            result_.sources.push_back({false, path});
    }

    void BadValue(int code, const std::string& value, const std::string& why)
    {
        Fail("invalid value '" + ShownName(value) + "' for " + OptionName(code) + ": " + why);
    }

    // Checks that need every option.
    void CheckLayout()
    {
        jpeg2pdf::PageLayout& layout = options().layout;
        if (layout.paperWidth == 0) {
            if (fitGiven_ || !marginText_.empty())
                Fail(std::string(fitGiven_ ? "--fit" : "--margin") + " needs --page-size");
            return;
        }
        if (std::min(layout.paperWidth, layout.paperHeight) - 2 * layout.margin < jpeg2pdf::kSmallestPageSide)
            Fail("a --margin of '" + ShownName(marginText_) + "' leaves less than 3 points between the margins");
    }

    // Under PDF/A each text string has a most bytes it may hold; without it, text is written whole.
    void CheckTextLengths()
    {
        const jpeg2pdf::PdfAPart part = options().pdfa;
        const size_t most = jpeg2pdf::PdfAMostTextStringBytes(part);
        const jpeg2pdf::DocumentInfo& info = options().info;
        const std::pair<const char*, const std::string*> texts[] = {{"--title", &info.title},
                                                                    {"--author", &info.author},
                                                                    {"--subject", &info.subject},
                                                                    {"--keywords", &info.keywords}};
        for (const auto& [name, text] : texts) {
            const size_t bytes = most == 0 ? 0 : jpeg2pdf::PdfTextStringBytes(*text);
            if (bytes > most)
                return Fail(std::string(name) + " takes " + std::to_string(bytes) + " bytes in the document; PDF/A-"
                            + (part == jpeg2pdf::PdfAPart::A1b ? "1b" : "2b") + " holds at most " + std::to_string(most)
                            + " in a text string");
        }
    }

    // At most one output goes to standard output, and no two name the same file (as spelled; other
    // spellings of one file are found when the files are opened).
    void CheckTextFiles()
    {
        const std::pair<const char*, const std::string*> files[] = {{"-o", &result_.output},
                                                                    {"--text", &result_.textFile},
                                                                    {"--hocr", &result_.hocrFile},
                                                                    {"--alto", &result_.altoFile}};
        for (size_t i = 1; i < std::size(files); ++i)
            for (size_t k = 0; k < i; ++k) {
                const std::string& a = *files[k].second;
                if (a.empty() || a != *files[i].second)
                    continue;
                if (a == "-")
                    return Fail(std::string("only one output can go to standard output (-): ") + files[k].first
                                + " and " + files[i].first + " both do");
                return Fail(std::string(files[k].first) + " and " + files[i].first + " name the same file");
            }
    }

    CommandLine Finish()
    {
        if (result_.error.empty())
            CheckLayout();
        if (result_.error.empty())
            CheckTextLengths();
        // Pages measured for straightening are spread over the jobs too.
        if (!ocrOnly_.empty() && !result_.recognise && !(ocrOnly_ == "--jobs" && result_.ocr.straighten))
            Fail(ocrOnly_ + " needs --ocr");
        if (!recognitionOnly_.empty() && !result_.recognise)
            Fail(recognitionOnly_ + " needs --ocr");
        if (result_.error.empty())
            CheckTextFiles();
        result_.ocr.recognise = result_.recognise;
        if (!jobsGiven_)
            result_.ocr.jobs = ProcessorCount();
        // Only the command line accepts grey pictures; PDF/A needs each picture's colours.
        options().acceptGray = true;
        // And PNG files, whose compressed rows are copied as JPEG files are.
        options().acceptPng = true;
        // And the pages of TIFF files, their strips copied where PDF can carry them.
        options().acceptTiff = true;
        if (options().pdfa != jpeg2pdf::PdfAPart::None)
            options().embedProfiles = true;
        switch (Outcome()) {
        case Request::UsageError:
            result_.action = CommandLine::Action::UsageError;
            break;
        case Request::Help:
            result_.action = CommandLine::Action::Help;
            break;
        case Request::Version:
            result_.action = CommandLine::Action::Version;
            break;
        case Request::Run:
            if (result_.output.empty())
                Fail("no output file given (-o OUT.pdf)");
            else if (result_.sources.empty())
                Fail("no JPEG files given");
            else
                result_.action = CommandLine::Action::Export;
            break;
        }
        return result_;
    }

    jpeg2pdf::ExportOptions& options() { return result_.options; }

    CommandLine result_;  // filled by the base class's Scan too; constructed before it runs
    bool fitGiven_ = false;
    std::string marginText_;
    std::string ocrOnly_;  // the last option given that means something only with --ocr
    std::string recognitionOnly_;  // the same for the text files and --tessdata, which --deskew does not take
    bool jobsGiven_ = false;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) { return Parser(args).Run(); }

}  // namespace cli
