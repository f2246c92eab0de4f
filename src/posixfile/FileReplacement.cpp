// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileReplacement.h"

#include "FinalTarget.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>

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

bool FileReplacement::Begin(const std::string& target, const struct stat* replaced, bool signalRemovable)
{
    Abandon();
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::string folder = FolderOf(target);
    bool claimed = false;
    signalRemovable_ = signalRemovable && slotClaimed.compare_exchange_strong(claimed, true);
    std::random_device entropy;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        std::string candidate = folder + "/.leafbind-";
        for (int i = 0; i < 10; ++i)
            candidate += kLetters[entropy() % (sizeof kLetters - 1)];
        if (signalRemovable_ && candidate.size() >= sizeof slotPath) {
            errno = ENAMETOOLONG;
            break;
        }
        const SignalsHeld held(signalRemovable_);
        // 0666: the umask (and a folder's default access list) applies as to any new file.
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
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
        return false;
    }
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

bool FileReplacement::Commit(Flush flush, Existing existing)
{
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    bool done = flush == Flush::Later || ::fsync(fd_) == 0;
    const int fd = fd_;
    fd_ = -1;
    // close() reports delayed write errors (network file systems); it must not be retried.
    done = ::close(fd) == 0 && done;
    if (done) {
        const SignalsHeld held(signalRemovable_);
        done = existing == Existing::Replace ? ::rename(temporary_.c_str(), target_.c_str()) == 0
                                             : RenameKeepingExisting(temporary_.c_str(), target_.c_str());
        if (done) {
            temporary_.clear();
            if (signalRemovable_)
                ReleaseSlot();
            signalRemovable_ = false;
        }
    }
    if (!done) {
        Abandon();
        return false;
    }
    if (flush == Flush::ToDisk) {
        const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            (void)::fsync(folder);  // the rename itself; the file is whole under either name
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
