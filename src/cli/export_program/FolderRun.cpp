// SPDX-License-Identifier: GPL-2.0-or-later
#include "FolderRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "ExportCommand.h"
#include "FolderListing.h"
#include "ProgressLine.h"
#include "WholeTransfers.h"

namespace cli {

namespace {

// One folder that holds pictures: a document.
struct FolderDocument {
    std::string relative;  // below the output folder, without ".pdf"
    std::string folder;  // as it is opened
    std::vector<std::string> pictures;  // names, in natural order
};

struct Tally {
    int written = 0, existing = 0, refused = 0, failed = 0;
    int64_t notPictures = 0, hidden = 0, unreadable = 0;
    int status = kExitWritten;

    void Fail(int documentStatus) { status = std::max(status, documentStatus); }
};

// Messages, the progress line and the tally, shared by the workers.
class Console {
public:
    Console(const CommandLine& command, const Streams& streams)
        : quiet_(command.quiet), err_(streams.err),
          progress_(!command.quiet && isatty(streams.err), [this](const std::string& text) { posixfile::WriteAll(err_, text); })
    {
    }

    void Say(const std::string& message)
    {
        std::lock_guard lock(mutex_);
        progress_.Finish();
        Complain(err_, message);
    }
    void Note(const std::string& message)
    {
        if (!quiet_)
            Say(message);
    }
    void Pages(int64_t written)
    {
        std::lock_guard lock(mutex_);
        pages_ += written;
        progress_.UpdateDocuments(done_, count_, pages_);
    }
    void DocumentDone()
    {
        std::lock_guard lock(mutex_);
        ++done_;
        progress_.UpdateDocuments(done_, count_, pages_);
    }
    void SetCount(int count) { count_ = count; }
    void Finish()
    {
        std::lock_guard lock(mutex_);
        progress_.Finish();
    }

private:
    bool quiet_;
    int err_;
    std::mutex mutex_;
    ProgressLine progress_;
    int done_ = 0, count_ = 0;
    int64_t pages_ = 0;
};

std::string ErrorText(int error) { return std::strerror(error); }

// The name a folder argument gives its documents: its own last name as given ("scans/" gives
// "scans", a link its own name), or for "." and ".." the name of the folder they lead to.
bool ArgumentName(const std::string& folder, std::string& name)
{
    const size_t end = folder.find_last_not_of('/');
    if (end != std::string::npos) {
        const size_t start = folder.find_last_of('/', end);
        name = folder.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
        if (name != "." && name != "..")
            return true;
    }
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr)
        return false;
    const std::string path(real);
    std::free(real);
    name = path.substr(path.find_last_of('/') + 1);
    return true;
}

struct FolderIdentity {
    dev_t device;
    ino_t inode;
    auto operator<=>(const FolderIdentity&) const = default;
};

// Every folder under `root` (itself included) that holds pictures, depth first in natural order.
// The output folder is not entered, nor any folder twice (a bind mount leading back up).
void Walk(const std::string& root, const std::string& name, const FolderIdentity& outputFolder,
          std::vector<FolderDocument>& documents, Tally& tally, Console& console)
{
    std::set<FolderIdentity> seen {outputFolder};
    std::vector<std::pair<std::string, std::string>> pending {{root, name}};  // folder, relative
    while (!pending.empty()) {
        auto [folder, relative] = std::move(pending.back());
        pending.pop_back();
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0 && !seen.insert({info.st_dev, info.st_ino}).second)
            continue;
        folders::FolderListing listing = folders::ListFolder(folder);
        if (listing.systemError != 0) {
            console.Say(ShownName(folder) + ": cannot be read: " + ErrorText(listing.systemError));
            ++tally.refused;
            tally.Fail(kExitUnusableEntry);
            continue;
        }
        tally.notPictures += listing.notPictures;
        tally.hidden += listing.hidden;
        tally.unreadable += listing.unreadable;
        const std::string prefix = folder.back() == '/' ? folder : folder + "/";
        if (!listing.pictures.empty())
            documents.push_back({relative, folder, std::move(listing.pictures)});
        // Pushed last first, so they are taken in natural order.
        for (auto sub = listing.folders.rbegin(); sub != listing.folders.rend(); ++sub)
            pending.emplace_back(prefix + *sub, relative + "/" + *sub);
    }
}

// Makes every missing folder of `path` (mode 0777 less the umask). False with errno set.
bool MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

enum class Ending { Written, Existing, Refused, Failed };

struct DocumentEnd {
    Ending ending = Ending::Written;
    int status = kExitWritten;
};

DocumentEnd ExportFolder(const CommandLine& command, const FolderDocument& document, const std::string& output,
                         int jobs, Console& console)
{
    Entries entries;
    for (const std::string& picture : document.pictures) {
        entries.paths.push_back(JoinPath(document.folder, picture));
        entries.origins.push_back({});
    }
    const MessageSay say = [&console](const std::string& message) { console.Say(message); };
    const MessageSay note = [&console](const std::string& message) { console.Note(message); };
    const auto refused = [&](int status) {
        if (status == kExitUnusableEntry)
            console.Say(ShownName(document.folder) + ": refused, no PDF written");
        return DocumentEnd {status == kExitUnusableEntry ? Ending::Refused : Ending::Failed, status};
    };
    if (const int status = ArrangePages(command, entries, kExitUnusableEntry, jobs, say); status != kExitWritten)
        return refused(status);
    const std::string folder = output.substr(0, output.find_last_of('/'));
    if (!MakeFolders(folder)) {
        console.Say(ShownName(folder) + ": cannot create: " + ErrorText(errno));
        return {Ending::Failed, kExitCannotCreate};
    }
    std::unique_ptr<ocr::RecognitionSource> recognised;
    ocr::OcrSettings settings = command.ocr;
    settings.jobs = jobs;
    if (const int status = OpenRecognitionFor(command, settings, entries, say, command.quiet ? MessageSay() : note,
                                              false, recognised);
        status != kExitWritten)
        return {Ending::Failed, status};
    jpeg2pdf::ExportOptions options = command.options;
    options.replaceExisting = command.force;
    options.reportEveryEntry = true;
    if (!command.quiet)
        options.warn = [&](int entry, const std::string& text) { console.Say(ShownEntry(entries, entry) + ": " + text); };
    options.text = recognised.get();
    int reported = 0;
    const jpeg2pdf::ExportOutcome outcome = jpeg2pdf::ExportJpegList(
        entries.paths, output, options, [&](int written, int, int64_t) {
            console.Pages(written - reported);
            reported = written;
        });
    // Another run (a machine with an overlapping shard, or this folder named twice) made it meanwhile.
    if (const auto* refusal = std::get_if<jpeg2pdf::OutputRefused>(&outcome);
        refusal != nullptr && refusal->refusal == jpeg2pdf::OutputRefusal::Exists)
        return {Ending::Existing, kExitWritten};
    const int status = ExplainOutcome(outcome, ShownName(output), entries, say);
    if (status == kExitUnusableEntry)
        return refused(status);
    if (status != kExitWritten)
        return {Ending::Failed, status};
    if (recognised && recognised->PagesLackingText() > 0)
        return {Ending::Written, kExitTextLacking};
    return {Ending::Written, kExitWritten};
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string Plural(int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

uint64_t ShardOfPath(std::string_view relativePath, uint64_t shardCount)
{
    uint64_t hash = 14695981039346656037ULL;
    for (unsigned char byte : relativePath) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    return shardCount == 0 ? 0 : hash % shardCount;
}

int RunFolders(const CommandLine& command, const Streams& streams)
{
    Console console(command, streams);
    // The language data is checked once, before any document.
    if (command.recognise) {
        std::unique_ptr<ocr::RecognitionSource> check;
        const Entries none;
        const MessageSay say = [&console](const std::string& message) { console.Say(message); };
        if (const int status = OpenRecognitionFor(command, command.ocr, none, say, MessageSay(), true, check);
            status != kExitWritten)
            return status;
    }
    // The arguments' names, each taken once: two arguments of one name would write the same PDFs.
    std::vector<std::string> names;
    for (const Source& source : command.sources) {
        std::string name;
        struct stat info {};
        if (::stat(source.path.c_str(), &info) != 0 || !ArgumentName(source.path, name)) {
            Complain(streams.err, ShownName(source.path) + ": cannot be read: " + ErrorText(errno));
            return kExitUsage;
        }
        if (!S_ISDIR(info.st_mode)) {
            Complain(streams.err, ShownName(source.path) + ": not a folder (--folders takes folders)");
            return kExitUsage;
        }
        if (name.empty()) {
            Complain(streams.err, ShownName(source.path) + ": the root folder has no name to give its PDFs; name the "
                                                           "folders under it");
            return kExitUsage;
        }
        for (size_t k = 0; k < names.size(); ++k)
            if (names[k] == name) {
                Complain(streams.err, ShownName(command.sources[k].path) + " and " + ShownName(source.path)
                                          + " would both write under " + ShownName(JoinPath(command.outputFolder, name)));
                return kExitUsage;
            }
        names.push_back(name);
    }
    if (!MakeFolders(command.outputFolder)) {
        Complain(streams.err, ShownName(command.outputFolder) + ": cannot create: " + ErrorText(errno));
        return kExitCannotCreate;
    }
    struct stat outputInfo {};
    ::stat(command.outputFolder.c_str(), &outputInfo);

    Tally tally;
    std::vector<FolderDocument> found;
    for (size_t k = 0; k < command.sources.size(); ++k)
        Walk(command.sources[k].path, names[k], {outputInfo.st_dev, outputInfo.st_ino}, found, tally, console);
    std::vector<std::pair<FolderDocument, std::string>> work;  // with its output
    for (FolderDocument& document : found) {
        if (command.shardCount != 0 && ShardOfPath(document.relative, command.shardCount) != command.shardIndex)
            continue;
        std::string output = JoinPath(command.outputFolder, document.relative + ".pdf");
        if (!command.force && Exists(output)) {
            ++tally.existing;
            continue;
        }
        work.emplace_back(std::move(document), std::move(output));
    }

    // Documents on `workers` threads, each document's pages measured and recognised on its share
    // of the jobs: never more than --jobs at once in all.
    const int workers = std::clamp(static_cast<int>(work.size()), 1, std::max(command.jobs, 1));
    const int pageJobs = std::max(1, command.jobs / workers);
    console.SetCount(static_cast<int>(work.size()));
    std::atomic<size_t> next {0};
    std::mutex tallied;
    const auto run = [&] {
        for (size_t k; (k = next++) < work.size();) {
            const DocumentEnd end = ExportFolder(command, work[k].first, work[k].second, pageJobs, console);
            console.DocumentDone();
            std::lock_guard lock(tallied);
            tally.Fail(end.status);
            switch (end.ending) {
            case Ending::Written: ++tally.written; break;
            case Ending::Existing: ++tally.existing; break;
            case Ending::Refused: ++tally.refused; break;
            case Ending::Failed: ++tally.failed; break;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 1; i < workers; ++i)
        threads.emplace_back(run);
    run();
    for (std::thread& thread : threads)
        thread.join();
    console.Finish();

    if (!command.quiet) {
        std::string summary = std::to_string(tally.written) + " written, " + std::to_string(tally.existing)
            + " skipped (exist), " + std::to_string(tally.refused) + " refused";
        if (tally.failed > 0)
            summary += ", " + std::to_string(tally.failed) + " failed";
        std::vector<std::string> left;
        if (tally.notPictures > 0)
            left.push_back(Plural(tally.notPictures, "file that is no picture", "files that are no pictures"));
        if (tally.hidden > 0)
            left.push_back(Plural(tally.hidden, "hidden name", "hidden names"));
        if (tally.unreadable > 0)
            left.push_back(Plural(tally.unreadable, "entry that cannot be read", "entries that cannot be read"));
        for (size_t k = 0; k < left.size(); ++k)
            summary += (k == 0 ? "; left out: " : ", ") + left[k];
        Complain(streams.err, summary);
    }
    return tally.status;
}

}  // namespace cli
