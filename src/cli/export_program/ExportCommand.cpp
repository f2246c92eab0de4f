// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExportCommand.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "ExportDetails.h"
#include "LanguageData.h"
#include "ListEntries.h"
#include "MessageLine.h"
#include "PageChoice.h"
#include "ProgressLine.h"
#include "RecognitionModule.h"
#include "TextOutputs.h"
#include "WholeTransfers.h"

namespace cli {

namespace {

std::string DescribeOutputRefusal(const jpeg2pdf::OutputRefused& refused)
{
    using jpeg2pdf::OutputRefusal;
    switch (refused.refusal) {
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
    case OutputRefusal::TooManyPagesForPart:
        return "PDF/A-1b holds at most 8,191 pages (PDF/A-2b has no such limit)";
    case OutputRefusal::FolderForbidsNewFiles:
        return "cannot be replaced: Leafbind makes the new file beside the old one, and the folder "
            + ShownName(refused.folder) + " forbids new files (" + std::strerror(refused.systemError) + ")";
    case OutputRefusal::CannotCreate:
        // A FIFO opens for writing only while a program reads it.
        if (refused.systemError == ENXIO)
            return std::string("cannot open: no program reads from it (") + std::strerror(ENXIO) + ")";
        break;
    }
    return std::string("cannot create: ") + std::strerror(refused.systemError);
}

std::string DescribeWritingFailure(const jpeg2pdf::WritingFailed& failed, const std::string& outputName,
                                   const Entries& entries)
{
    if (failed.entry >= 0) {
        const std::string reason = failed.reopen.refusal != jpeg2pdf::EntryRefusal::None
            ? jpeg2pdf::DescribeEntryProblem(failed.reopen)
            : failed.systemError != 0 ? std::strerror(failed.systemError)
                                      : "the file became shorter while it was copied";
        return ShownEntry(entries, failed.entry) + ": cannot be copied: " + reason;
    }
    // EFBIG: a file size limit (ulimit -f), or the largest file the file system holds.
    const std::string reason = failed.systemError == EFBIG
        ? std::string("the file grew past the size limit (") + std::strerror(EFBIG) + ")"
        : failed.systemError != 0 ? std::strerror(failed.systemError)
                                  : "write failed";
    return outputName + ": cannot be written: " + reason;
}

// "straightened: turned 1.52 degrees clockwise", without the locale's decimal sign.
std::string DescribeTurn(double turn)
{
    char number[32];
    const auto end = std::to_chars(number, number + sizeof number, std::abs(turn), std::chars_format::fixed, 2).ptr;
    return "straightened: turned " + std::string(number, end) + " degrees "
        + (turn < 0 ? "clockwise" : "counter-clockwise");
}

// One line for a language of --ocr-lang (or osd) that cannot be used, with the package that brings it.
std::string DescribeLanguageProblem(const ocr::LanguageProblem& problem, const std::string& folder)
{
    const std::string& name = problem.language;
    const std::string package = ocr::LanguagePackage(name);
    if (problem.fault == ocr::LanguageFault::NotInstalled)
        return "recognition language '" + name + "' is not installed"
            + (package.empty() ? ", and no Debian package brings it" : ": install the package " + package) + " (no "
            + name + ".traineddata in " + ShownName(folder) + ")";
    return "recognition language '" + name + "' cannot be loaded from "
        + ShownName(folder + "/" + name + ".traineddata") + ": the file is damaged, cut short, or of another kind"
        + (package.empty() ? "" : " (the package " + package + " has a sound copy)");
}

}  // namespace

int ExplainOutcome(const jpeg2pdf::ExportOutcome& outcome, const std::string& outputName, const Entries& entries,
                   const MessageSay& say)
{
    if (std::holds_alternative<jpeg2pdf::ExportSaved>(outcome))
        return kExitWritten;
    if (const auto* refused = std::get_if<jpeg2pdf::EntriesRefused>(&outcome)) {
        // Every unusable entry, so one run shows all there is to mend.
        for (const jpeg2pdf::EntryReport& problem : refused->entries)
            say(ShownEntry(entries, problem.entry)
                + (problem.page >= 0 ? ": page " + std::to_string(problem.page + 1) : "") + ": "
                + jpeg2pdf::DescribeEntryProblem(problem.problem));
        return kExitUnusableEntry;
    }
    if (const auto* refused = std::get_if<jpeg2pdf::OutputRefused>(&outcome)) {
        say(outputName + ": " + DescribeOutputRefusal(*refused));
        return kExitCannotCreate;
    }
    const auto& failed = std::get<jpeg2pdf::WritingFailed>(outcome);
    // A reader that stops early (| head), however the pipe was named, is no error to report; the
    // status still says the document is incomplete. Only a pipe or socket fails with EPIPE.
    if (failed.entry < 0 && failed.systemError == EPIPE)
        return kExitFailedWriting;
    say(DescribeWritingFailure(failed, outputName, entries));
    return kExitFailedWriting;
}

std::string ShownPercent(double percent)
{
    char number[32];
    const auto end = std::to_chars(number, number + sizeof number, percent, std::chars_format::fixed, 4).ptr;
    return std::string(number, end) + " %";
}

int ArrangePages(const CommandLine& command, Entries& entries, int oddStatus, int jobs, const MessageSay& say)
{
    if (command.duplex) {
        if (entries.paths.size() % 2 != 0) {
            say("--duplex needs as many backs as fronts, an even number of pictures; " + std::to_string(entries.paths.size())
                + " given");
            return oddStatus;
        }
        CollateDuplex(entries);
    }
    if (command.dropBlank) {
        const Entries listed = entries;
        for (const BlankPage& page : DropBlankPages(entries, command.blankPercent, jobs))
            if (!command.quiet)
                say(ShownEntry(listed, page.entry) + ": blank page left out (ink " + ShownPercent(page.percent) + ")");
        if (entries.paths.empty()) {
            say("every page is blank (less than " + ShownPercent(command.blankPercent)
                + " ink, --drop-blank): no document is written");
            return kExitUnusableEntry;
        }
    }
    return kExitWritten;
}

int OpenRecognitionFor(const CommandLine& command, const ocr::OcrSettings& settings, const Entries& entries,
                       const MessageSay& say, const MessageSay& noteWarning, bool checkLanguages,
                       std::unique_ptr<ocr::RecognitionSource>& recognised)
{
    if (!command.recognise && !command.ocr.straighten)
        return kExitWritten;
    const auto warn = [&entries, noteWarning](int entry, const std::string& text) {
        if (noteWarning)
            noteWarning(ShownEntry(entries, entry) + ": " + text);
    };
    const auto tell = [&entries, say](int entry, const std::string& text) { say(ShownEntry(entries, entry) + ": " + text); };
    ocr::RecognitionSource::TurnNote noteTurn;
    if (noteWarning)
        noteTurn = [&entries, noteWarning](int entry, double turn) {
            noteWarning(ShownEntry(entries, entry) + ": " + DescribeTurn(turn));
        };
    // A page left without its text is named even with -q: the exit status says so too.
    const std::string dataFolder = command.tessdata.empty() ? ocr::LanguageDataFolder() : command.tessdata;
    std::string missingModule;
    recognised = ocr::OpenRecognition(settings, dataFolder, {warn, noteTurn, tell}, missingModule);
    if (!recognised) {
        say(missingModule);
        return kExitUsage;
    }
    if (!checkLanguages)
        return kExitWritten;
    // Language data that is missing or cannot be loaded is a usage error: the run would make
    // pages without text. Loading it was the check; the first worker keeps what it loaded.
    const std::vector<ocr::LanguageProblem> problems = !command.recognise
        ? std::vector<ocr::LanguageProblem> {}
        : ocr::LanguageProblems(command.ocr.languages + (command.ocr.rotatePages ? "+osd" : ""), dataFolder,
                                recognised->LoadedLanguages());
    for (const ocr::LanguageProblem& problem : problems)
        say(DescribeLanguageProblem(problem, dataFolder));
    return problems.empty() ? kExitWritten : kExitUsage;
}

namespace {

std::string TextFileName(const std::string& path) { return path == "-" ? "standard output" : ShownName(path); }

// Begins the files --text, --hocr and --alto ask for; false, with the reason said, when one is refused.
bool OpenTextFiles(const CommandLine& command, const Entries& entries, TextOutputs& files, const Streams& streams)
{
    std::vector<TextOutputs::Request> requests;
    for (const auto& [format, path] :
         {std::pair {ocr::TextFormat::Plain, &command.textFile}, std::pair {ocr::TextFormat::Hocr, &command.hocrFile},
          std::pair {ocr::TextFormat::Alto, &command.altoFile}})
        if (!path->empty())
            requests.push_back({format, *path});
    if (requests.empty())
        return true;
    std::vector<std::string> names;
    for (const std::string& path : entries.paths)
        names.push_back(ShownName(path));
    TextOutputs::Refusal refusal;
    if (files.Open(requests, entries.paths, names, command.force, streams.out, refusal))
        return true;
    using Result = posixfile::OutputFile::OpenResult;
    const jpeg2pdf::OutputRefusal reason = refusal.result == Result::Exists ? jpeg2pdf::OutputRefusal::Exists
        : refusal.result == Result::Locked                                  ? jpeg2pdf::OutputRefusal::Locked
        : refusal.result == Result::IsOneOfInputs                           ? jpeg2pdf::OutputRefusal::IsOneOfInputs
        : refusal.result == Result::NotRegularFile                          ? jpeg2pdf::OutputRefusal::NotRegularFile
        : refusal.result == Result::FolderForbidsNewFiles ? jpeg2pdf::OutputRefusal::FolderForbidsNewFiles
                                                          : jpeg2pdf::OutputRefusal::CannotCreate;
    Complain(streams.err,
             TextFileName(refusal.path) + ": " + DescribeOutputRefusal({reason, refusal.systemError, refusal.folder}));
    return false;
}

}  // namespace

namespace {

// The program whose name the run's messages carry.
const char* messageProgram = "leafbind-export";

}  // namespace

void Complain(int fd, const std::string& message) { WriteMessageLine(fd, messageProgram, message); }

int RunExport(const CommandLine& command, const Streams& streams, const char* program)
{
    messageProgram = program;
    if (command.folders)
        return RunFolders(command, streams);
    Entries entries;
    ProgressLine progress(!command.quiet && isatty(streams.err),
                          [&streams](const std::string& text) { posixfile::WriteAll(streams.err, text); });
    const MessageSay say = [&](const std::string& message) {
        progress.Finish();  // the message on a line of its own
        Complain(streams.err, message);
    };
    const auto tell = [&](int entry, const std::string& text) { say(ShownEntry(entries, entry) + ": " + text); };
    const jpeg2pdf::ExportWarning warn = command.quiet ? jpeg2pdf::ExportWarning() : tell;
    std::unique_ptr<ocr::RecognitionSource> recognised;
    if (const int status = OpenRecognitionFor(command, command.ocr, entries, say, command.quiet ? MessageSay() : say, true,
                                              recognised);
        status != kExitWritten)
        return status;
    std::string error;
    if (!GatherEntries(command.sources, command.nulSeparated, streams.in, entries, error)) {
        Complain(streams.err, error);
        return kExitUsage;
    }
    if (entries.paths.empty()) {
        Complain(streams.err, "no JPEG files given (the lists are empty)");
        return kExitUsage;
    }
    if (const int status = ArrangePages(command, entries, command.documentAmongMany ? kExitUnusableEntry : kExitUsage, command.jobs, say); status != kExitWritten)
        return status;

    const bool toStandardOutput = command.output == "-";
    const std::string outputName = toStandardOutput ? "standard output" : ShownName(command.output);
    jpeg2pdf::ExportOptions options = command.options;
    options.replaceExisting = command.force;
    options.reportEveryEntry = true;
    if (toStandardOutput) {
        if (isatty(streams.out)) {
            Complain(streams.err, "standard output is a terminal; redirect it or name a file with -o");
            return kExitCannotCreate;
        }
        options.outputDescriptor = streams.out;
    }
    options.warn = warn;
    // The text files are refused, as the document is, before anything is written.
    TextOutputs textFiles;
    if (!OpenTextFiles(command, entries, textFiles, streams))
        return kExitCannotCreate;
    if (!textFiles.Empty())
        recognised->KeepWords([&, pageIndex = 0](const jpeg2pdf::PageTextRequest& page,
                                                 const ocr::PageWords& words) mutable {
            // Pages come in document order; a file of several pages gives several.
            textFiles.Page(pageIndex++, ShownName(entries.paths[size_t(page.entry)]), words);
        });
    if (recognised) {
        options.text = recognised.get();
        if (command.recognise)
            progress.CountRecognisedPages();
    }
    const jpeg2pdf::ExportOutcome outcome = jpeg2pdf::ExportJpegList(
        entries.paths, toStandardOutput ? std::string() : command.output, options,
        [&progress](int written, int total, int64_t bytes) { progress.Update(written, total, bytes); });
    progress.Finish();
    const int status = ExplainOutcome(outcome, outputName, entries, say);
    if (status == kExitWritten && !textFiles.Empty()) {
        std::string failed;
        int error = 0;
        if (!textFiles.Finish(streams.out, failed, error)) {
            if (error != EPIPE)
                Complain(streams.err,
                         TextFileName(failed) + ": cannot be written: "
                             + (error == EFBIG
                                    ? std::string("the file grew past the size limit (") + std::strerror(EFBIG) + ")"
                                    : std::strerror(error)));
            return kExitFailedWriting;
        }
    }
    textFiles.Discard();
    if (status == kExitWritten && recognised && recognised->PagesLackingText() > 0)
        return kExitTextLacking;
    return status;
}

}  // namespace cli
