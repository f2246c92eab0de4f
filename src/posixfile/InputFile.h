// SPDX-License-Identifier: GPL-2.0-or-later
// A file read under a shared lock, so no writer that asks for the lock changes it meanwhile, and
// read at any position. POSIX only; nothing here throws.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace posixfile {

// Which file a path names, independent of the path's spelling (links, "..", symlinks).
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Why a file could not be opened; with System, errno says more.
enum class OpenFailure { None, System, NotRegularFile, Locked };

// A regular file opened for reading under a shared lock: other readers are welcome, a process
// that holds the file's exclusive lock (a writer) makes the open fail, and while we hold it no
// writer that asks for the lock gets it.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False for a missing file, a directory or anything else that is not a regular file, no read
    // access, or a file locked by a writer. Never blocks (FIFOs and devices are refused unread).
    bool Open(const std::string& path);
    void Close();

    // Why the last Open failed, and errno when it was the system's refusal.
    OpenFailure Failure() const { return failure_; }
    int SystemError() const { return systemError_; }

    int Descriptor() const { return fd_; }
    int64_t Size() const { return size_; }
    const FileIdentity& Identity() const { return identity_; }

    // Reads up to `count` bytes at `offset`; returns the number read (0 at end of file), -1 on error.
    int64_t ReadAt(int64_t offset, void* buffer, size_t count) const;

private:
    int fd_ = -1;
    int64_t size_ = 0;
    FileIdentity identity_;
    OpenFailure failure_ = OpenFailure::None;
    int systemError_ = 0;
};

}  // namespace posixfile
