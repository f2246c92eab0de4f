// SPDX-License-Identifier: GPL-2.0-or-later
// Replacing a file whole: the new content goes to a new file beside it, which takes the name only
// once it is complete, so the name shows the old file or the new one, never a part. The new file
// has no name until then (O_TMPFILE), so whatever ends the process leaves nothing behind; where
// the file system has no unnamed files it is a hidden named one, removed on every failure.
// Plain POSIX (Linux); nothing here throws except std::bad_alloc.
#pragma once

#include <sys/stat.h>

#include <string>

namespace posixfile {

class FileReplacement {
public:
    // Whether the new file is on disk before it takes the name: a rename whose file is still only
    // in memory can leave an empty file under the name after a power loss.
    enum class Flush { ToDisk, Later };
    // What a file that appeared at the target after Begin meets: it is replaced, or kept and the
    // commit fails with EEXIST.
    enum class Existing { Replace, Keep };

    FileReplacement() = default;
    ~FileReplacement() { Abandon(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates an empty file open for writing in the folder of `target` (whose links the caller
    // has followed: see FinalTarget): unnamed, or under a new hidden name where the file system
    // cannot make unnamed files. With `replaced`, the stat of the file it will replace, the new
    // file takes that file's permission bits, and its owner where the process may give files
    // away; otherwise 0666 less the umask applies, as to any new file. With `signalRemovable` a
    // hidden named file can be removed by RemoveFromSignalHandler until it is committed or
    // abandoned (one such file per process at a time; while one is pending, another is not
    // removable that way); an unnamed one needs no removing. False with errno set, and nothing
    // left behind.
    bool Begin(const std::string& target, const struct stat* replaced, bool signalRemovable = false);

    // The new file's descriptor, -1 when none is open; it stays this object's.
    int Descriptor() const { return fd_; }

    // Closes the new file and gives it the target's name (an unnamed file is linked to a hidden
    // name and renamed at once, every signal held between, or linked to the name itself when it
    // is free); with Flush::ToDisk its bytes reach the disk before it is named and the folder's
    // entry after. False with errno set: then the new file is gone and the target is as it was.
    bool Commit(Flush flush, Existing existing);

    // Closes and removes the new file unless it has been committed; errno is kept.
    void Abandon();

private:
    // ".leafbind-" and ten random letters, in `folder`.
    static std::string HiddenName(const std::string& folder);
    // The fallback of Begin: a new hidden file, opened exclusively; fd_ stays -1 on failure.
    void BeginNamed(const std::string& folder, bool signalRemovable);
    // Gives the unnamed file the name `name`; fails (EEXIST) where a file is there.
    bool LinkUnnamed(const std::string& name);
    bool NameUnnamed(Existing existing);

    int fd_ = -1;
    bool unnamed_ = false;
    bool linkedAtTarget_ = false;
    std::string target_;
    std::string temporary_;
    bool signalRemovable_ = false;
};

// Removes the signal-removable new file, if one is pending. Async-signal-safe; errno is kept.
void RemoveFromSignalHandler() noexcept;

}  // namespace posixfile
