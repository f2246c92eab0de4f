// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandLine.h"

#include <getopt.h>

#include <utility>

#include "CommandParser.h"

namespace cli {

namespace {

// leafbind-export's own options first, then those every exporting program takes.
std::vector<option> LongOptions()
{
    std::vector<option> options = {
        {"output", required_argument, nullptr, 'o'},
        {"list", required_argument, nullptr, 'l'},
        {"null", no_argument, nullptr, '0'},
        {"force", no_argument, nullptr, 'f'},
        {"quiet", no_argument, nullptr, 'q'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersionCode},
    };
    for (const option& o : ExportOptionReader::LongOptions(true))
        options.push_back(o);
    options.push_back({nullptr, 0, nullptr, 0});
    return options;
}

// "-": non-options come back in command-line order (as option 1) instead of being moved to the
// end; ":": a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = "-:o:l:0fqh";

class Parser : CommandParser {
public:
    explicit Parser(const std::vector<std::string>& args, const std::vector<option>& longOptions)
        : CommandParser("leafbind-export", args, kShortOptions, longOptions.data(), result_),
          exportOptions_(result_, [this](int code) { return OptionName(code); })
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
        default: {
            std::string error;
            if (!exportOptions_.Handle(code, value, error))
                error = "unknown option " + LastArgument();  // not reached: every option is handled
            if (!error.empty())
                Fail(error);
        }
        }
    }

    void AddArgument(const std::string& path) override
    {
        if (path == "-")
            Fail("a JPEG cannot come from standard input (a list can: -l -)");
        else
            result_.sources.push_back({false, path});
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
        std::string error = result_.error;
        exportOptions_.Finish(error);
        Fail(error);
        if (result_.error.empty())
            CheckTextFiles();
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

    CommandLine result_;  // filled by the base class's Scan too; constructed before it runs
    ExportOptionReader exportOptions_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    const std::vector<option> longOptions = LongOptions();
    return Parser(args, longOptions).Run();
}

}  // namespace cli
