#include "ExportCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ExportDetails.h"
#include "ImageListFile.h"
#include "ProgressLine.h"

namespace cli {

namespace {

// Where an entry came from, to name it when it has no name of its own.
struct Origin {
    std::string list;  // empty for a command-line argument
    size_t line = 0;
};

bool WriteAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::string& text)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        text.append(buffer, static_cast<size_t>(n));
    }
}

// Appends the entries of every source in command-line order; false (with the complaint made)
// when a list cannot be read.
bool GatherEntries(const CommandLine& command, const Streams& streams, std::vector<std::string>& paths,
                   std::vector<Origin>& origins)
{
    for (const Source& source : command.sources) {
        if (!source.isList) {
            paths.push_back(source.path);
            origins.push_back({});
            continue;
        }
        std::vector<std::string> items;
        if (source.path == "-") {
            std::string text;
            if (!ReadAll(streams.in, text)) {
                Complain(streams.err, std::string("standard input: ") + std::strerror(errno));
                return false;
            }
            items = imagelist::ParseImageList(text);
        } else {
            try {
                items = imagelist::LoadImageList(source.path);
            } catch (const imagelist::ImageListError& error) {
                Complain(streams.err, error.what());
                return false;
            }
        }
        const std::string listName = source.path == "-" ? "standard input" : ShownName(source.path);
        for (size_t i = 0; i < items.size(); ++i) {
            paths.push_back(std::move(items[i]));
            origins.push_back({listName, i + 1});
        }
    }
    return true;
}

std::string EntryName(const std::vector<std::string>& paths, const std::vector<Origin>& origins, int entry)
{
    const Origin& origin = origins[static_cast<size_t>(entry)];
    if (paths[static_cast<size_t>(entry)].empty())
        return origin.list.empty() ? "(empty argument)" : origin.list + ", line " + std::to_string(origin.line);
    return ShownName(paths[static_cast<size_t>(entry)]);
}

std::string DescribeOutputRefusal(const jpeg2pdf::ExportReport& report)
{
    using jpeg2pdf::OutputRefusal;
    switch (report.outputRefusal) {
    case OutputRefusal::Exists:
        return "already exists (--force replaces it)";
    case OutputRefusal::Locked:
        return "in use by another program (locked)";
    case OutputRefusal::IsOneOfInputs:
        return "is one of the input files";
    case OutputRefusal::NotRegularFile:
        return "not a regular file";
    case OutputRefusal::NoPages:
        return "no pages to write";
    case OutputRefusal::CannotCreate:
    case OutputRefusal::None:
        break;
    }
    return std::string("cannot create: ") + std::strerror(report.systemError);
}

int Explain(const jpeg2pdf::ExportReport& report, const std::string& outputName, const Streams& streams,
            const std::vector<std::string>& paths, const std::vector<Origin>& origins)
{
    if (report.result == jpeg2pdf::kExportSaved)
        return kExitWritten;
    if (report.result >= 0) {
        Complain(streams.err,
                 EntryName(paths, origins, report.result) + ": " + jpeg2pdf::DescribeEntryProblem(report.entryProblem));
        return kExitUnusableEntry;
    }
    if (report.result == jpeg2pdf::kExportCannotCreate) {
        Complain(streams.err, outputName + ": " + DescribeOutputRefusal(report));
        return kExitCannotCreate;
    }
    if (report.entry >= 0) {
        const std::string reason = report.entryProblem.refusal != jpeg2pdf::EntryRefusal::None
            ? jpeg2pdf::DescribeEntryProblem(report.entryProblem)
            : report.systemError != 0 ? std::strerror(report.systemError)
                                      : "the file became shorter while it was copied";
        Complain(streams.err, EntryName(paths, origins, report.entry) + ": cannot be copied: " + reason);
    } else {
        Complain(streams.err,
                 outputName + ": cannot be written: "
                     + (report.systemError != 0 ? std::strerror(report.systemError) : "write failed"));
    }
    return kExitFailedWriting;
}

}  // namespace

void Complain(int fd, const std::string& message) { WriteAll(fd, "leafbind-export: " + message + "\n"); }

int RunExport(const CommandLine& command, const Streams& streams)
{
    std::vector<std::string> paths;
    std::vector<Origin> origins;
    if (!GatherEntries(command, streams, paths, origins))
        return kExitUsage;
    if (paths.empty()) {
        Complain(streams.err, "no JPEG files given (the lists are empty)");
        return kExitUsage;
    }

    const bool toStandardOutput = command.output == "-";
    const std::string outputName = toStandardOutput ? "standard output" : ShownName(command.output);
    jpeg2pdf::ExportOptions options = command.options;
    options.replaceExisting = command.force;
    options.removeOnFailure = true;
    if (toStandardOutput) {
        if (isatty(streams.out)) {
            Complain(streams.err, "standard output is a terminal; redirect it or name a file with -o");
            return kExitCannotCreate;
        }
        options.outputDescriptor = streams.out;
    }

    ProgressLine progress(!command.quiet && isatty(streams.err),
                          [&streams](const std::string& text) { WriteAll(streams.err, text); });
    const jpeg2pdf::ExportReport report = jpeg2pdf::ExportJpegList(
        paths, toStandardOutput ? std::string() : command.output, options,
        [&progress](int written, int total, int64_t bytes) { progress.Update(written, total, bytes); });
    progress.Finish();
    return Explain(report, outputName, streams, paths, origins);
}

}  // namespace cli
