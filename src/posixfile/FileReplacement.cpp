// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileReplacement.h"

#include "FileCalls.h"
#include "FinalTarget.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace posixfile {

namespace {

// The pending new file a signal handler may remove. Written only with every signal blocked in the
// writing thread, so a handler there never sees half a name; claimed by one replacement at a time.
std::atomic<bool> slotClaimed {false};
volatile sig_atomic_t slotHeld = 0;
char slotPath[PATH_MAX];

// Every signal held back for a few system calls, so that creating or renaming the new file and
// recording it happen together as far as a handler can tell.
class SignalsHeld {
public:
    explicit SignalsHeld(bool hold) : hold_(hold)
    {
        if (hold_) {
            sigset_t all;
            sigfillset(&all);
            pthread_sigmask(SIG_SETMASK, &all, &saved_);
        }
    }
    ~SignalsHeld()
    {
        if (hold_)
            pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    bool hold_;
    sigset_t saved_;
};

void ReleaseSlot()
{
    slotHeld = 0;
    slotClaimed.store(false);
}

// Renames without replacing a file that is there: atomically where the file system can; on one
// that cannot (some network file systems) the check and the rename are two steps.
bool RenameKeepingExisting(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    struct stat info { };
    if (::lstat(to, &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT && ::rename(from, to) == 0;
}

}  // namespace

std::string FileReplacement::HiddenName(const std::string& folder)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    std::string name = folder + "/.leafbind-";
    for (int i = 0; i < 10; ++i)
        name += kLetters[entropy() % (sizeof kLetters - 1)];
    return name;
}

bool FileReplacement::Begin(const std::string& target, const struct stat* replaced, bool signalRemovable)
{
    Abandon();
    const std::string folder = FolderOf(target);
    // 0666: the umask (and a folder's default access list) applies as to any new file. Without a
    // name until it is complete, the file goes with the process whatever ends it.
    fd_ = fileCalls.open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    unnamed_ = fd_ >= 0;
    // Some file systems have no unnamed files (network ones, FUSE; kernels before 3.11 say EISDIR).
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        BeginNamed(folder, signalRemovable);
    // The unnamed file is named through /proc; without /proc (a bare chroot) it never could be.
    else if (fd_ >= 0 && ::access(("/proc/self/fd/" + std::to_string(fd_)).c_str(), F_OK) != 0) {
        ::close(fd_);
        fd_ = -1;
        unnamed_ = false;
        BeginNamed(folder, signalRemovable);
    }
    if (fd_ < 0)
        return false;
    target_ = target;
    if (replaced) {
        // Owner first: changing it clears the set-id bits that the mode then restores. Only a
        // privileged writer may give the file away; anyone else's new file stays their own.
        if (replaced->st_uid != ::geteuid() || replaced->st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(fd_, replaced->st_uid, replaced->st_gid);
        }
        if (::fchmod(fd_, replaced->st_mode & 07777) != 0) {
            Abandon();
            return false;
        }
    }
    return true;
}

void FileReplacement::BeginNamed(const std::string& folder, bool signalRemovable)
{
    bool claimed = false;
    signalRemovable_ = signalRemovable && slotClaimed.compare_exchange_strong(claimed, true);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        std::string candidate = HiddenName(folder);
        if (signalRemovable_ && candidate.size() >= sizeof slotPath) {
            errno = ENAMETOOLONG;
            break;
        }
        const SignalsHeld held(signalRemovable_);
        fd_ = fileCalls.open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ >= 0) {
            temporary_ = std::move(candidate);
            if (signalRemovable_) {
                std::memcpy(slotPath, temporary_.c_str(), temporary_.size() + 1);
                slotHeld = 1;
            }
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        const int error = errno;
        if (signalRemovable_)
            ReleaseSlot();
        signalRemovable_ = false;
        errno = error;
    }
}

bool FileReplacement::LinkUnnamed(const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (fileCalls.linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    // Without /proc (a bare chroot) only a process that may search every folder links a descriptor.
    return errno == ENOENT && fileCalls.linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

bool FileReplacement::NameUnnamed(Existing existing)
{
    // A free name is taken at once: the link fails (EEXIST) where a file has appeared meanwhile.
    if (existing == Existing::Keep) {
        linkedAtTarget_ = LinkUnnamed(target_);
        return linkedAtTarget_;
    }
    // A link cannot replace a file: a hidden name first, renamed over the old file a moment later.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = HiddenName(FolderOf(target_));
        if (LinkUnnamed(candidate)) {
            temporary_ = std::move(candidate);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool FileReplacement::Commit(Flush flush, Existing existing)
{
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    if (flush == Flush::ToDisk && fileCalls.fsync(fd_) != 0) {
        Abandon();
        return false;
    }
    {
        // No handled signal comes between naming the file and renaming it, so none can leave the
        // hidden name behind (nor, with signalRemovable, find a name half recorded).
        const SignalsHeld held(unnamed_ || signalRemovable_);
        if (unnamed_ && !NameUnnamed(existing)) {
            Abandon();
            return false;
        }
        // close() reports delayed write errors (network file systems); it must not be retried.
        const int fd = fd_;
        fd_ = -1;
        bool done = ::close(fd) == 0;
        if (done && !temporary_.empty()) {
            done = existing == Existing::Replace ? fileCalls.rename(temporary_.c_str(), target_.c_str()) == 0
                                                 : RenameKeepingExisting(temporary_.c_str(), target_.c_str());
            if (done)
                temporary_.clear();
        }
        if (!done) {
            Abandon();
            return false;
        }
        linkedAtTarget_ = false;
        if (signalRemovable_)
            ReleaseSlot();
        signalRemovable_ = false;
    }
    if (flush == Flush::ToDisk) {
        const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            (void)fileCalls.fsync(folder);  // the rename itself; the file is whole under either name
            ::close(folder);
        }
    }
    return true;
}

void FileReplacement::Abandon()
{
    const int error = errno;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    // Linked to a free name but not closed whole: the name is ours, taken a moment ago.
    if (linkedAtTarget_)
        ::unlink(target_.c_str());
    linkedAtTarget_ = false;
    unnamed_ = false;
    if (signalRemovable_)
        ReleaseSlot();
    signalRemovable_ = false;
    errno = error;
}

void RemoveFromSignalHandler() noexcept
{
    if (slotHeld) {
        const int error = errno;
        ::unlink(slotPath);
        errno = error;
    }
}

}  // namespace posixfile
