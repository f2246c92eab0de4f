// SPDX-License-Identifier: GPL-2.0-or-later
#include "WatchRun.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "CommandLine.h"
#include "EntryLook.h"
#include "ExportCommand.h"
#include "FinishRecords.h"
#include "FolderListing.h"
#include "MessageLine.h"
#include "PictureSignature.h"
#include "SettleTracker.h"
#include "ShownName.h"
#include "UnfinishedOutput.h"
#include "WholeTransfers.h"

namespace cli {

namespace {

using watch::Clock;

constexpr const char* kProgram = "leafbind-watch";

// The pending document of the export under way, for the signal handler; empty when none.
char underWay[PATH_MAX + 1];
volatile sig_atomic_t underWaySet = 0;

void Tell(const std::string& message) { WriteMessageLine(2, kProgram, message); }

// What inotify tells of the watched folder and of each folder in it.
constexpr uint32_t kEntryEvents = IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE | IN_MODIFY
    | IN_ATTRIB | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

// "box-3.pdf" for the folder box-3, "scan.pdf" for the file scan.jpg.
std::string DocumentName(const std::string& entry, bool folder)
{
    const size_t dot = folder ? std::string::npos : entry.rfind('.');
    return (dot == std::string::npos || dot == 0 ? entry : entry.substr(0, dot)) + ".pdf";
}

bool MakeFolder(const std::string& path, const char* what, std::string& error)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    error = std::string(what) + " " + ShownName(path) + ": cannot make it: " + std::strerror(errno);
    return false;
}

bool SyncPath(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

class Watcher {
public:
    explicit Watcher(const WatchCommandLine& command)
        : command_(command), tracker_(std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(command.settleSeconds)))
    {
        places_.in = command.in;
        places_.out = command.out;
        places_.archive = command.archive;
        places_.sourcesGo = command.removeSources ? watch::SourcesGo::Remove : watch::SourcesGo::Archive;
    }

    int Run()
    {
        // A writer opening a file while a lease tells whether it is being written sends SIGIO.
        std::signal(SIGIO, SIG_IGN);
        std::string error;
        if (!MakeFolder(places_.out, "OUT", error)
            || (!places_.archive.empty() && !MakeFolder(places_.archive, "--archive", error))
            || !state_.Open(places_.out, error)) {
            Tell(error);
            return kWatchCannotStart;
        }
        inFd_ = open(places_.in.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (inFd_ < 0) {
            Tell("the watched folder " + ShownName(places_.in) + ": " + std::strerror(errno));
            return kWatchCannotStart;
        }
        CompleteRecords();
        state_.RemoveLeftovers();
        if (command_.pollSeconds == 0 && !StartNotices())
            return kWatchCannotStart;
        std::vector<std::string> names;
        if (!watch::WatchedNames(inFd_, names)) {
            Tell("the watched folder " + ShownName(places_.in) + " cannot be read: " + std::strerror(errno));
            return kWatchCannotStart;
        }
        const Clock::time_point start = Clock::now();
        for (const std::string& name : names) {
            Watch(name);
            tracker_.Noticed(name, start);
        }
        nextPoll_ = start;
        for (;;) {
            const int status = Step();
            if (status >= 0)
                return status;
        }
    }

private:
    bool StartNotices()
    {
        notices_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (notices_ >= 0)
            inWatch_ = inotify_add_watch(notices_, places_.in.c_str(),
                                         kEntryEvents | IN_ONLYDIR | IN_DELETE_SELF | IN_MOVE_SELF);
        if (notices_ < 0 || inWatch_ < 0) {
            Tell("cannot watch " + ShownName(places_.in) + " for changes (" + std::strerror(errno)
                 + "); --poll SECONDS looks at it on a timer instead");
            return false;
        }
        return true;
    }

    // Follows the changes in folder entry `name` too (its sub-folders are seen by the looks).
    void Watch(const std::string& name)
    {
        if (notices_ < 0 || watches_.count(name) != 0)
            return;
        const int wd = inotify_add_watch(notices_, (places_.in + "/" + name).c_str(),
                                         kEntryEvents | IN_ONLYDIR | IN_DONT_FOLLOW);
        if (wd >= 0) {
            watches_[name] = wd;
            names_[wd] = name;
        }
    }

    void Unwatch(const std::string& name)
    {
        const auto found = watches_.find(name);
        if (found == watches_.end())
            return;
        inotify_rm_watch(notices_, found->second);
        names_.erase(found->second);
        watches_.erase(found);
    }

    // One wait and what it brings; a status when the watcher cannot go on, else -1.
    int Step()
    {
        Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> wake = tracker_.NextDue();
        if (command_.pollSeconds > 0 && (!wake || nextPoll_ < *wake))
            wake = nextPoll_;
        if (!unfinished_.empty() && (!wake || retryAt_ < *wake))
            wake = retryAt_;
        int timeout = -1;  // nothing due: sleep until a notice comes
        if (wake)
            timeout = *wake <= now
                ? 0
                : int(std::min<int64_t>(
                      std::chrono::ceil<std::chrono::milliseconds>(*wake - now).count(), INT_MAX));
        pollfd watched {notices_, POLLIN, 0};
        const int ready = poll(&watched, notices_ >= 0 ? 1 : 0, timeout);
        if (ready < 0 && errno != EINTR) {
            Tell(std::string("cannot wait for changes: ") + std::strerror(errno));
            return kWatchCannotStart;
        }
        now = Clock::now();
        if (ready > 0 && !ReadNotices(now))
            return kWatchCannotStart;
        if (command_.pollSeconds > 0 && nextPoll_ <= now) {
            Poll(now);
            nextPoll_ = now + std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::duration<double>(command_.pollSeconds));
        }
        if (!unfinished_.empty() && retryAt_ <= now)
            CompleteRecords();
        for (const std::string& name : tracker_.Due(now))
            Consider(name, watch::LookAt(inFd_, name), Clock::now());
        return fatal_ ? kWatchStatusUsage : -1;
    }

    // A poll: every name in IN looked at, and those gone forgotten.
    void Poll(Clock::time_point now)
    {
        std::vector<std::string> names;
        if (!watch::WatchedNames(inFd_, names)) {
            Tell("the watched folder " + ShownName(places_.in) + " cannot be read: " + std::strerror(errno));
            return;
        }
        std::set<std::string> seen(names.begin(), names.end());
        for (const std::string& name : tracker_.Names())
            if (seen.count(name) == 0)
                Consider(name, watch::LookAt(inFd_, name), now);
        for (const std::string& name : names)
            Consider(name, watch::LookAt(inFd_, name), now);
    }

    bool ReadNotices(Clock::time_point now)
    {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = read(notices_, buffer, sizeof buffer);
            if (got <= 0)
                return got == 0 || errno == EAGAIN || errno == EINTR;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) {
                    // Notices were lost: every entry is looked at again from now.
                    std::vector<std::string> names;
                    if (watch::WatchedNames(inFd_, names))
                        for (const std::string& name : names) {
                            Watch(name);
                            tracker_.Noticed(name, now);
                        }
                    continue;
                }
                if (event->wd == inWatch_) {
                    if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                        Tell("the watched folder " + ShownName(places_.in) + " was removed or moved");
                        return false;
                    }
                    const std::string name = event->len ? event->name : "";
                    if (name.empty() || watch::SkippedName(name))
                        continue;
                    if (event->mask & (IN_MOVED_FROM | IN_DELETE))
                        Unwatch(name);
                    else if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)))
                        Watch(name);
                    if (!Completing(name))
                        tracker_.Noticed(name, now);
                    continue;
                }
                const auto found = names_.find(event->wd);
                if (found == names_.end())
                    continue;
                const std::string name = found->second;
                if (event->mask & IN_IGNORED) {
                    names_.erase(found);
                    watches_.erase(name);
                }
                if (!Completing(name))
                    tracker_.Noticed(name, now);
            }
        }
    }

    bool Completing(const std::string& name) const { return unfinished_.count(name) != 0; }

    void Consider(const std::string& name, const watch::EntryLook& look, Clock::time_point now)
    {
        if (Completing(name))
            return;
        switch (tracker_.Looked(name, look, now)) {
        case watch::SettleTracker::Verdict::Take:
            Take(name, look);
            return;
        case watch::SettleTracker::Verdict::Gone:
            Unwatch(name);
            return;
        case watch::SettleTracker::Verdict::Wait:
        case watch::SettleTracker::Verdict::Held:
            return;
        }
    }

    // The pictures of entry `name`, with the reason when there are none; empty and no reason for
    // a file that is no picture, which is left alone.
    std::vector<std::string> Pictures(const std::string& name, bool folder, std::string& refusal)
    {
        const std::string path = places_.in + "/" + name;
        if (!folder) {
            uint8_t first[jpeg2pdf::kPictureSignatureBytes];
            const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            const ssize_t got = fd < 0 ? -1 : posixfile::ReadFully(fd, first, sizeof first);
            if (fd >= 0)
                close(fd);
            if (got < 0)
                refusal = std::string("cannot be read: ") + std::strerror(errno);
            else if (jpeg2pdf::ExportTakesSignature(first, size_t(got)))
                return {path};
            return {};
        }
        folders::ListingRules rules;
        rules.followLinks = false;
        const folders::FolderListing listing = folders::ListFolder(path, rules);
        if (listing.systemError != 0) {
            refusal = std::string("cannot be read: ") + std::strerror(listing.systemError);
            return {};
        }
        if (listing.pictures.empty()) {
            refusal = "holds no pictures";
            return {};
        }
        std::vector<std::string> paths;
        for (const std::string& picture : listing.pictures)
            paths.push_back(path + "/" + picture);
        return paths;
    }

    void Take(const std::string& name, const watch::EntryLook& look)
    {
        if (watch::OpenForWriting(inFd_, name, look)) {
            tracker_.Noticed(name, Clock::now());  // still being written: a settle time more
            return;
        }
        const std::string shown = ShownName(name);
        std::string refusal;
        const std::vector<std::string> pictures = Pictures(name, look.folder, refusal);
        if (pictures.empty()) {
            if (!refusal.empty())
                Tell(shown + ": refused: " + refusal + "; left in place until it changes");
            tracker_.Hold(name);
            return;
        }
        CommandLine export_;
        static_cast<ExportChoices&>(export_) = command_;
        export_.quiet = command_.quiet;
        export_.action = CommandLine::Action::Export;
        export_.documentAmongMany = true;
        for (const std::string& picture : pictures)
            export_.sources.push_back({false, picture});
        watch::FinishRecord record;
        record.id = state_.NewId();
        record.entry = name;
        record.document = DocumentName(name, look.folder);
        export_.output = state_.PendingDocument(record.id);
        if (export_.output.size() < sizeof underWay) {
            std::memcpy(underWay, export_.output.c_str(), export_.output.size() + 1);
            underWaySet = 1;
        }
        const auto started = Clock::now();
        const int status = RunExport(export_, Streams {}, kProgram);
        const double took = std::chrono::duration<double>(Clock::now() - started).count();
        const std::string pages = std::to_string(pictures.size()) + (pictures.size() == 1 ? " page" : " pages");
        if (status != kExitWritten && status != kExitTextLacking) {
            underWaySet = 0;
            unlink(export_.output.c_str());
            if (status == kExitUsage) {
                fatal_ = true;
                return;
            }
            Tell(shown + ": " + pages + ", " + Seconds(took) + ": not written ("
                 + (status == kExitUnusableEntry ? "pictures refused" : "the document could not be written")
                 + "); left in place until it changes");
            tracker_.Hold(name);
            return;
        }
        // On disk before the record says it is finished; from then on it is completed, not made
        // again. The record's own sync of the state folder puts the document's name there on disk.
        const bool synced = SyncPath(export_.output);
        underWaySet = 0;
        if (!synced || !state_.Write(record)) {
            Tell(shown + ": the document cannot be put on disk: " + std::strerror(errno)
                 + "; left in place until it changes");
            unlink(export_.output.c_str());
            tracker_.Hold(name);
            return;
        }
        const watch::Completion done = watch::Complete(state_, places_, record);
        if (!done.error.empty()) {
            Tell(shown + ": " + done.error + "; tried again in a while");
            unfinished_.insert(name);
            retryAt_ = Clock::now() + std::chrono::seconds(30);
            tracker_.Forget(name);
            return;
        }
        tracker_.Forget(name);
        Unwatch(name);
        if (!command_.quiet)
            Tell(shown + ": " + pages + ", " + Seconds(took) + ": written to "
                 + ShownName(places_.out + "/" + done.document)
                 + (status == kExitTextLacking ? " (some pages lack text)" : "")
                 + (done.archived.empty() ? ", sources removed"
                                          : ", sources moved to " + ShownName(places_.archive + "/" + done.archived)));
    }

    // Completes each record an earlier run (or an earlier try) left.
    void CompleteRecords()
    {
        std::vector<std::string> unreadable;
        const std::vector<watch::FinishRecord> records = state_.Records(unreadable);
        for (const std::string& path : unreadable)
            Tell(ShownName(path) + ": a record the watcher cannot read; left as it is");
        unfinished_.clear();
        for (const watch::FinishRecord& record : records) {
            const watch::Completion done = watch::Complete(state_, places_, record);
            const std::string shown = ShownName(record.entry);
            if (!done.error.empty()) {
                Tell(shown + ": " + done.error + "; tried again in a while");
                unfinished_.insert(record.entry);
                continue;
            }
            tracker_.Forget(record.entry);
            if (!command_.quiet)
                Tell(shown + ": finished from an earlier run: "
                     + (done.document.empty() ? "already in OUT" : "written to " + ShownName(places_.out + "/" + done.document))
                     + (places_.sourcesGo == watch::SourcesGo::Remove ? ", sources removed"
                            : done.archived.empty()                  ? ", sources already moved"
                                                                     : ", sources moved to "
                                   + ShownName(places_.archive + "/" + done.archived)));
        }
        retryAt_ = Clock::now() + std::chrono::seconds(30);
    }

    const WatchCommandLine& command_;
    watch::Places places_;
    watch::StateFolder state_;
    watch::SettleTracker tracker_;
    int inFd_ = -1;
    int notices_ = -1;
    int inWatch_ = -1;
    std::map<std::string, int> watches_;
    std::map<int, std::string> names_;
    std::set<std::string> unfinished_;  // entries whose record could not be completed yet
    Clock::time_point retryAt_ {};
    Clock::time_point nextPoll_ {};
    bool fatal_ = false;  // the recogniser or its languages cannot be loaded: no document can be made
};

}  // namespace

void RemoveDocumentUnderWay() noexcept
{
    jpeg2pdf::RemoveUnfinishedOutput();
    if (underWaySet) {
        const int error = errno;
        unlink(underWay);
        errno = error;
    }
}

int RunWatch(const WatchCommandLine& command)
{
    Watcher watcher(command);
    return watcher.Run();
}

}  // namespace cli
