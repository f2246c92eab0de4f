// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExtractCommandLine.h"

#include <getopt.h>

#include "CommandParser.h"
#include "ShownName.h"

namespace cli {

namespace {

enum LongOnly : int { kVersion = kVersionCode, kVerify, kPasswordFile };

constexpr option kLongOptions[] = {
    {"folder", required_argument, nullptr, 'd'},
    {"force", no_argument, nullptr, 'f'},
    {"verify", no_argument, nullptr, kVerify},
    {"password-file", required_argument, nullptr, kPasswordFile},
    {"list", required_argument, nullptr, 'l'},
    {"null", no_argument, nullptr, '0'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// "-": non-options come back in command-line order; ":": a missing value is told apart.
constexpr char kShortOptions[] = "-:d:fl:0qh";

class Parser : CommandParser {
public:
    explicit Parser(const std::vector<std::string>& args)
        : CommandParser("leafbind-extract", args, kShortOptions, kLongOptions, result_)
    {
    }

    ExtractCommandLine Run()
    {
        Scan();
        return Finish();
    }

private:
    void Handle(int code, const std::string& value) override
    {
        switch (code) {
        case ':':
            return Fail("option " + OptionName(optopt) + " needs a " + (optopt == 'd' ? "folder" : "file") + " name");
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
        case kPasswordFile:
            if (value.empty())
                return Fail("the password file's name is empty");
            result_.passwordFile = value;
            return;
        default:
            Fail("unknown option " + ShownName(LastArgument()));  // not reached
        }
    }

    // The document first, then (for --verify) picture files.
    void AddArgument(const std::string& path) override
    {
        if (path.empty())
            return Fail(result_.document.empty() && !documentGiven_ ? "the document's name is empty"
                                                                    : "a picture file's name is empty");
        if (!documentGiven_) {
            if (path == "-")
                return Fail("the document cannot come from standard input");
            result_.document = path;
            documentGiven_ = true;
            return;
        }
        if (path == "-")
            return Fail("a picture file cannot come from standard input (a list can: -l -)");
        result_.sources.push_back({false, path});
    }

    ExtractCommandLine Finish()
    {
        switch (Outcome()) {
        case Request::UsageError:
            break;
        case Request::Help:
            result_.action = ExtractCommandLine::Action::Help;
            break;
        case Request::Version:
            result_.action = ExtractCommandLine::Action::Version;
            break;
        case Request::Run:
            ChooseAction();
            break;
        }
        if (!result_.error.empty())
            result_.action = ExtractCommandLine::Action::UsageError;
        return result_;
    }

    // The run the arguments ask for, or why they ask for none.
    void ChooseAction()
    {
        if (!documentGiven_)
            Fail("no document given");
        else if (verify_ && !extractOnly_.empty())
            Fail(extractOnly_ + " is for extracting, not with --verify");
        else if (verify_ && result_.sources.empty())
            Fail("no picture files given to check the document against");
        else if (!verify_ && !result_.sources.empty())
            Fail(result_.sources.front().isList ? "a list (-l) is for --verify"
                                                : "one document at a time: '" + ShownName(result_.sources.front().path)
                         + "' is one too many (picture files are for --verify)");
        else if (result_.passwordFile == "-" && ReadsListFromStandardInput())
            Fail("standard input cannot hold both the password and a list");
        else if (!verify_ && result_.nulSeparated)
            Fail("-0 is for --verify's lists");
        else
            result_.action = verify_ ? ExtractCommandLine::Action::Verify : ExtractCommandLine::Action::Extract;
    }

    bool ReadsListFromStandardInput() const
    {
        for (const Source& source : result_.sources)
            if (source.isList && source.path == "-")
                return true;
        return false;
    }

    ExtractCommandLine result_;  // filled by the base class's Scan too; constructed before it runs
    bool verify_ = false;
    bool documentGiven_ = false;
    std::string extractOnly_;  // the first option given that only extracting takes
};

}  // namespace

ExtractCommandLine ParseExtractCommandLine(const std::vector<std::string>& args) { return Parser(args).Run(); }

}  // namespace cli
