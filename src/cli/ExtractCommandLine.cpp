// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExtractCommandLine.h"

#include <getopt.h>

#include <algorithm>
#include <cstring>

#include "OptionScanner.h"
#include "ShownName.h"

namespace cli {

namespace {

enum LongOnly : int { kVersion = 256, kVerify };

constexpr option kLongOptions[] = {
    {"folder", required_argument, nullptr, 'd'},
    {"force", no_argument, nullptr, 'f'},
    {"verify", no_argument, nullptr, kVerify},
    {"list", required_argument, nullptr, 'l'},
    {"null", no_argument, nullptr, '0'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// "-": non-options come back in command-line order; ":": a missing value is told apart.
constexpr char kShortOptions[] = "-:d:fl:0qh";

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args)
        : scanner_("leafbind-extract", args, kShortOptions, kLongOptions)
    {
    }

    ExtractCommandLine Run()
    {
        int code;
        std::string value;
        while (result_.error.empty() && (code = scanner_.Next(value)) != -1)
            Handle(code, value);
        for (const std::string& path : scanner_.Rest())
            if (result_.error.empty())
                AddArgument(path);
        return Finish();
    }

private:
    const std::string& LastArgument() const { return scanner_.LastArgument(); }
    std::string OptionName(int value) const { return scanner_.OptionName(value); }

    void Handle(int code, const std::string& value)
    {
        switch (code) {
        case 1:
            return AddArgument(value);
        case ':':
            return Fail("option " + OptionName(optopt) + " needs a " + (optopt == 'd' ? "folder" : "file") + " name");
        case '?':
            return Refused();
        case 'd':
            if (value.empty())
                return Fail("the folder name is empty");
            result_.folder = value;
            extractOnly_ = extractOnly_.empty() ? OptionName('d') : extractOnly_;
            return;
        case 'f':
            result_.force = true;
            extractOnly_ = extractOnly_.empty() ? OptionName('f') : extractOnly_;
            return;
        case kVerify:
            verify_ = true;
            return;
        case 'l':
            if (value.empty())
                return Fail("the list file name is empty");
            if (value == "-" && ++standardInputLists_ > 1)
                return Fail("standard input can be read only once");
            result_.sources.push_back({true, value});
            return;
        case '0':
            result_.nulSeparated = true;
            return;
        case 'q':
            result_.quiet = true;
            return;
        case 'h':
            help_ = true;
            return;
        case kVersion:
            version_ = true;
            return;
        default:
            Fail("unknown option " + ShownName(LastArgument()));  // not reached
        }
    }

    void Refused() { Fail(scanner_.Refusal()); }

    // The document first, then (for --verify) JPEG files.
    void AddArgument(const std::string& path)
    {
        if (path.empty())
            return Fail(result_.document.empty() && !documentGiven_ ? "the document's name is empty"
                                                                    : "a JPEG file name is empty");
        if (!documentGiven_) {
            if (path == "-")
                return Fail("the document cannot come from standard input");
            result_.document = path;
            documentGiven_ = true;
            return;
        }
        if (path == "-")
            return Fail("a JPEG cannot come from standard input (a list can: -l -)");
        result_.sources.push_back({false, path});
    }

    void Fail(const std::string& error)
    {
        if (result_.error.empty())
            result_.error = error;
    }

    ExtractCommandLine Finish()
    {
        if (!result_.error.empty())
            result_.action = ExtractCommandLine::Action::UsageError;
        else if (help_)
            result_.action = ExtractCommandLine::Action::Help;
        else if (version_)
            result_.action = ExtractCommandLine::Action::Version;
        else if (!documentGiven_)
            Fail("no document given");
        else if (verify_ && !extractOnly_.empty())
            Fail(extractOnly_ + " is for extracting, not with --verify");
        else if (verify_ && result_.sources.empty())
            Fail("no JPEG files given to check the document against");
        else if (!verify_ && !result_.sources.empty())
            Fail(result_.sources.front().isList ? "a list (-l) is for --verify"
                                                : "one document at a time: '" + ShownName(result_.sources.front().path)
                         + "' is one too many (JPEG files are for --verify)");
        else if (!verify_ && result_.nulSeparated)
            Fail("-0 is for --verify's lists");
        else
            result_.action = verify_ ? ExtractCommandLine::Action::Verify : ExtractCommandLine::Action::Extract;
        if (!result_.error.empty())
            result_.action = ExtractCommandLine::Action::UsageError;
        return result_;
    }

    OptionScanner scanner_;
    ExtractCommandLine result_;
    bool help_ = false;
    bool version_ = false;
    bool verify_ = false;
    bool documentGiven_ = false;
    std::string extractOnly_;  // the first option given that only extracting takes
    int standardInputLists_ = 0;
};

}  // namespace

ExtractCommandLine ParseExtractCommandLine(const std::vector<std::string>& args) { return Parser(args).Run(); }

}  // namespace cli
