// SPDX-License-Identifier: GPL-2.0-or-later
#include "WatchCommandLine.h"

#include <getopt.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "CommandParser.h"
#include "ShownName.h"

namespace cli {

namespace {

enum WatchCode : int {
    kArchive = kFirstProgramCode,
    kRemoveSources,
    kSettle,
    kPoll,
};

std::vector<option> LongOptions()
{
    std::vector<option> options = {
        {"archive", required_argument, nullptr, kArchive},
        {"remove-sources", no_argument, nullptr, kRemoveSources},
        {"settle", required_argument, nullptr, kSettle},
        {"poll", required_argument, nullptr, kPoll},
        {"quiet", no_argument, nullptr, 'q'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersionCode},
    };
    // The text files name one file, and the watcher makes many documents: they are not offered.
    for (const option& o : ExportOptionReader::LongOptions(false))
        options.push_back(o);
    options.push_back({nullptr, 0, nullptr, 0});
    return options;
}

constexpr char kShortOptions[] = "-:qh";

// Seconds, with a fraction if need be: 0.5, 30, 3600. From a hundredth of a second to a day.
bool ParseSeconds(const std::string& text, double& seconds)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end || text.empty() || text.front() == '-' || !std::isfinite(value)
        || value < 0.01 || value > 86400)
        return false;
    seconds = value;
    return true;
}

class Parser : CommandParser {
public:
    Parser(const std::vector<std::string>& args, const std::vector<option>& longOptions)
        : CommandParser("leafbind-watch", args, kShortOptions, longOptions.data(), result_),
          exportOptions_(result_, [this](int code) { return OptionName(code); })
    {
    }

    WatchCommandLine Run()
    {
        Scan();
        std::string error = result_.error;
        exportOptions_.Finish(error);
        Fail(error);
        switch (Outcome()) {
        case Request::UsageError:
            break;
        case Request::Help:
            result_.action = WatchCommandLine::Action::Help;
            break;
        case Request::Version:
            result_.action = WatchCommandLine::Action::Version;
            break;
        case Request::Run:
            if (result_.removeSources == !result_.archive.empty())
                Fail(result_.removeSources ? "--archive and --remove-sources cannot both be given"
                                           : "say where the sources go once their document is written: --archive "
                                             "DIR or --remove-sources");
            else if (arguments_.size() != 2)
                Fail(arguments_.size() < 2 ? "name the watched folder IN and the documents' folder OUT"
                                           : "too many arguments: only IN and OUT are taken");
            else if (arguments_[0].empty() || arguments_[1].empty())
                Fail("a folder name is empty");
            else {
                result_.in = arguments_[0];
                result_.out = arguments_[1];
                result_.action = WatchCommandLine::Action::Watch;
            }
            break;
        }
        if (!result_.error.empty())
            result_.action = WatchCommandLine::Action::UsageError;
        return result_;
    }

private:
    void Handle(int code, const std::string& value) override
    {
        switch (code) {
        case ':':
            return Fail("option " + OptionName(optopt) + (optopt == kArchive ? " needs a folder" : " needs a value"));
        case kArchive:
            if (value.empty())
                return Fail("the archive folder's name is empty");
            result_.archive = value;
            return;
        case kRemoveSources:
            result_.removeSources = true;
            return;
        case kSettle:
        case kPoll:
            if (!ParseSeconds(value, code == kSettle ? result_.settleSeconds : result_.pollSeconds))
                Fail("invalid value '" + ShownName(value) + "' for " + OptionName(code)
                     + ": use seconds from 0.01 to 86400, as 30 or 2.5");
            return;
        default: {
            std::string error;
            if (!exportOptions_.Handle(code, value, error))
                error = "unknown option " + ShownName(LastArgument());
            if (!error.empty())
                Fail(error);
        }
        }
    }

    void AddArgument(const std::string& argument) override { arguments_.push_back(argument); }

    WatchCommandLine result_;
    ExportOptionReader exportOptions_;
    std::vector<std::string> arguments_;
};

// The folder `path` names, links followed, as an absolute path; a path that does not exist yet is
// taken from its nearest folder that does. Empty when even that cannot be resolved.
std::string Resolved(const std::string& path)
{
    if (char* real = realpath(path.c_str(), nullptr)) {
        std::string resolved = real;
        free(real);
        return resolved;
    }
    if (errno != ENOENT)
        return "";
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    const std::string last = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    if (last.empty() || last == "." || last == "..")
        return "";  // a step the missing folder's path cannot say where it leads
    const std::string base = Resolved(slash == std::string::npos ? "." : slash == 0 ? "/" : trimmed.substr(0, slash));
    return base.empty() ? "" : (base == "/" ? "" : base) + "/" + last;
}

bool Inside(const std::string& path, const std::string& folder)
{
    return path == folder || path.starts_with(folder == "/" ? folder : folder + "/");
}

}  // namespace

WatchCommandLine ParseWatchCommandLine(const std::vector<std::string>& args)
{
    const std::vector<option> longOptions = LongOptions();
    return Parser(args, longOptions).Run();
}

std::string CheckWatchPlaces(const WatchCommandLine& command)
{
    struct stat st;
    const bool found = stat(command.in.c_str(), &st) == 0;
    if (!found || !S_ISDIR(st.st_mode))
        return "the watched folder " + ShownName(command.in)
            + (found ? " is not a folder" : std::string(": ") + std::strerror(errno));
    const std::string in = Resolved(command.in);
    const std::pair<const char*, const std::string*> places[] = {{"OUT", &command.out},
                                                                 {"--archive", &command.archive}};
    for (const auto& [option, path] : places) {
        if (path->empty())
            continue;
        const std::string resolved = Resolved(*path);
        if (resolved.empty())
            return std::string(option) + " " + ShownName(*path) + ": cannot tell where it lies";
        if (Inside(resolved, in))
            return std::string(option) + " " + ShownName(*path) + " lies inside the watched folder "
                + ShownName(command.in) + ": the watcher would take its own output";
    }
    return "";
}

}  // namespace cli
