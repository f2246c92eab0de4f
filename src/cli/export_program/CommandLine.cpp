// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandLine.h"

#include <getopt.h>

#include <cstdint>
#include <utility>

#include "CommandParser.h"
#include "ShownName.h"

namespace cli {

namespace {

// leafbind-export's own options without a short form.
enum ProgramCode : int {
    kFolders = kFirstProgramCode,
    kShard,
};

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
        {"folders", no_argument, nullptr, kFolders},
        {"into", required_argument, nullptr, 'O'},
        {"shard", required_argument, nullptr, kShard},
    };
    for (const option& o : ExportOptionReader::LongOptions(true))
        options.push_back(o);
    options.push_back({nullptr, 0, nullptr, 0});
    return options;
}

// "-": non-options come back in command-line order (as option 1) instead of being moved to the
// end; ":": a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = "-:o:O:l:0fqh";

constexpr uint64_t kMostShards = 1000000;

// "K/N" with 0 <= K < N <= kMostShards, plain decimal digits.
bool ParseShard(const std::string& text, uint64_t& index, uint64_t& count)
{
    const size_t slash = text.find('/');
    if (slash == std::string::npos)
        return false;
    const auto number = [](const std::string& digits, uint64_t& out) {
        if (digits.empty() || digits.size() > 7 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        out = std::stoull(digits);
        return true;
    };
    uint64_t k = 0, n = 0;
    if (!number(text.substr(0, slash), k) || !number(text.substr(slash + 1), n) || n == 0 || n > kMostShards || k >= n)
        return false;
    index = k;
    count = n;
    return true;
}

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
                        + (optopt == 'o' || optopt == 'l' ? " needs a file name"
                           : optopt == 'O'                ? " needs a folder name"
                                                          : " needs a value"));
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
        case 'O':
            if (value.empty())
                return Fail("the output folder name is empty");
            if (!result_.outputFolder.empty())
                return Fail("only one output folder can be given");
            result_.outputFolder = value;
            return;
        case kFolders:
            result_.folders = true;
            return;
        case kShard:
            if (!ParseShard(value, result_.shardIndex, result_.shardCount))
                Fail("invalid value '" + ShownName(value) + "' for " + OptionName(code)
                     + ": use K/N, a shard K from 0 to N - 1 of N shards (N up to 1,000,000)");
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
        if (path == "-" && !result_.folders)
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

    // --folders writes a document per folder under -O; the options of one document's output
    // have no place there, and -O and --shard none without it.
    void CheckFolders()
    {
        if (!result_.folders) {
            if (!result_.outputFolder.empty())
                Fail("-O needs --folders (a PDF per folder); one list is written with -o");
            else if (result_.shardCount != 0)
                Fail("--shard needs --folders");
            return;
        }
        if (!result_.output.empty())
            return Fail("--folders writes each folder's PDF under -O OUTDIR; -o names the one output of a list");
        if (result_.outputFolder.empty())
            return Fail("--folders needs -O OUTDIR, the folder the PDFs are written under");
        for (const Source& source : result_.sources)
            if (source.isList)
                return Fail("--folders takes folders, not lists (-l)");
            else if (source.path == "-")
                return Fail("--folders takes folders; standard input (-) is none");
        for (const auto& [name, file] : {std::pair {"--text", &result_.textFile}, std::pair {"--hocr", &result_.hocrFile},
                                         std::pair {"--alto", &result_.altoFile}})
            if (!file->empty())
                return Fail(std::string(name) + " names one file; with --folders each document would write over it");
    }

    CommandLine Finish()
    {
        if (result_.error.empty())
            CheckFolders();
        std::string error = result_.error;
        exportOptions_.Finish(error, "--folders", result_.folders);
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
            if (result_.folders && result_.sources.empty())
                Fail("no folders given");
            else if (result_.folders)
                result_.action = CommandLine::Action::Export;
            else if (result_.output.empty())
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
