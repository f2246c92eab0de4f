// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExtractCommandLine.h"

#include <getopt.h>

#include <algorithm>
#include <cstring>

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
    {
        storage_.push_back("leafbind-extract");
        storage_.insert(storage_.end(), args.begin(), args.end());
        for (std::string& a : storage_)
            argv_.push_back(a.data());
        argv_.push_back(nullptr);
    }

    ExtractCommandLine Run()
    {
        const int argc = static_cast<int>(storage_.size());
        opterr = 0;
        optind = 0;  // glibc forgets any previous parse
        int code;
        while (result_.error.empty()
               && (code = getopt_long(argc, argv_.data(), kShortOptions, kLongOptions, nullptr)) != -1)
            Handle(code, optarg ? std::string(optarg) : std::string());
        for (int i = optind; result_.error.empty() && i < argc; ++i)
            AddArgument(storage_[static_cast<size_t>(i)]);
        return Finish();
    }

private:
    const std::string& LastArgument() const { return storage_[static_cast<size_t>(std::max(optind - 1, 0))]; }

    std::string OptionName(int value) const
    {
        for (const option& o : kLongOptions)
            if (o.name && o.val == value && (LastArgument().starts_with("--") || value > 255))
                return std::string("--") + o.name;
        return std::string("-") + static_cast<char>(value);
    }

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

    void Refused()
    {
        const std::string& arg = LastArgument();
        if (optopt != 0 && !arg.starts_with("--"))
            return Fail(std::string("unknown option -") + static_cast<char>(optopt));
        const std::string name = arg.substr(0, arg.find('='));
        if (optopt != 0)
            return Fail("option " + OptionName(optopt) + " takes no value");
        std::string candidates;
        for (const option& o : kLongOptions)
            if (o.name && std::strncmp(o.name, name.c_str() + 2, name.size() - 2) == 0)
                candidates += (candidates.empty() ? "--" : ", --") + std::string(o.name);
        if (candidates.find(',') != std::string::npos)
            return Fail("option " + ShownName(name) + " is ambiguous: it could be " + candidates);
        Fail("unknown option " + ShownName(name));
    }

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

    std::vector<std::string> storage_;
    std::vector<char*> argv_;
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
