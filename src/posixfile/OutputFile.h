// SPDX-License-Identifier: GPL-2.0-or-later
// An output that counts its bytes and checks every write, for a document written in one pass:
// to a new file that replaces its path's file whole, or to an open descriptor. POSIX only;
// nothing here throws except std::bad_alloc.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "InputFile.h"

namespace posixfile {

class ContentDigest;
class FileReplacement;

// What stopped a write: the output's errno, or a problem with the file being copied into it
// (its errno, or 0 when it ended before the size it had when opened).
struct WriteFailure {
    bool inInput = false;
    int systemError = 0;
};

// The document being written. Text and file contents are gathered in one buffer and written in large
// pieces. Position() counts every byte handed over, so it is the offset in the file.
//
// A document for a path is written to a new file beside the one the path names and takes that
// name only when it is complete (and, when it replaces a file, on disk): a failure at any point
// leaves an existing file as it was.
class OutputFile {
public:
    enum class OpenResult { Opened, Failed, IsOneOfInputs, Exists, Locked, NotRegularFile, FolderForbidsNewFiles };

    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Checks the output before anything is written. A path that names an open descriptor
    // (/dev/stdout, /dev/fd/N), a FIFO or a character device is opened and written directly,
    // without `replaceExisting` (a FIFO that no program reads is refused, ENXIO). Otherwise
    // anything at `path` (even a link to nowhere) is refused unless `replaceExisting`; so is a
    // path that names one of `inputs`, anything else but a regular file, and a file another
    // program holds locked. The existing file's exclusive lock is taken without waiting and held
    // until Close or Discard, so a second export to it is refused meanwhile. Then a regular file's
    // replacement is begun beside the file the path's links lead to; where that folder forbids new
    // files, the result says so and TargetFolder names it.
    OpenResult Open(const std::string& path, const std::vector<FileIdentity>& inputs, bool replaceExisting = true);
    // Writes to an open descriptor that stays the caller's (standard output, a pipe): no lock, no
    // replacement, nothing removed; positions count from 0 at the first byte written here.
    void Adopt(int descriptor);
    // errno of a failed Open (Failed, FolderForbidsNewFiles).
    int SystemError() const { return systemError_; }
    // After FolderForbidsNewFiles: the folder where the new file could not be made.
    const std::string& TargetFolder() const { return targetFolder_; }

    bool Write(std::string_view bytes);
    // Appends exactly `count` bytes of `input` from its start; false if the file ends sooner or
    // anything fails.
    bool CopyFrom(const InputFile& input, int64_t count);
    // Appends exactly `count` bytes of `input` from `offset` on; false as CopyFrom.
    bool CopyRange(const InputFile& input, int64_t offset, int64_t count);
    // For a copy that looks at the bytes before it keeps them: reads up to `count` bytes of
    // `input` from `offset` on into the buffer's free room (written out first when less than
    // `least` bytes of room are left), where `staged` points to them. They become output only by
    // Commit; any other write or Stage may overwrite those not committed. Returns how many were
    // read, fewer only when the file ends; -1 when a read or write failed (recorded as Fail does).
    int64_t Stage(const InputFile& input, int64_t offset, size_t count, size_t least, const char*& staged);
    // Appends `count` staged bytes from `data` on, which must lie at or after the first staged
    // byte not yet committed; staged bytes after them stay where they are.
    void Commit(const char* data, size_t count);
    // Writes what is buffered and, for a path, puts the complete file in place of the old one;
    // false if any of that fails, and then the new file is gone and the old one untouched. An
    // adopted descriptor is left open.
    bool Close();
    // Ends a document that failed half-way: its new file is removed and an existing file keeps
    // its bytes. Bytes already written to a device or an adopted descriptor stay.
    void Discard();

    int64_t Position() const { return position_; }
    // Lets a test begin near the largest offset a document may reach without writing gigabytes.
    void CountFrom(int64_t position) { position_ = position; }
    // What stopped the first write that failed.
    const WriteFailure& Failure() const { return failure_; }
    // Records a failure found by the caller (unless one is recorded already); returns false.
    bool Fail(bool inInput, int systemError);

    // From here on every byte written is also added to a running hash, so the document's ID comes
    // from its content without reading the file back. Call before the first byte; throws
    // std::bad_alloc or std::system_error.
    void StartContentDigest();
    bool HashesContent() const { return digest_ != nullptr; }
    // The hash of every byte handed over so far (ContentDigest::Hex); only once started.
    std::string ContentHash();

private:
    bool Flush();
    bool WriteAll(const char* data, size_t size);
    // Copies bytes [from, count) of `input`.
    bool CopyThroughBuffer(const InputFile& input, int64_t from, int64_t count);
    OpenResult CheckAndBegin(const std::string& path, const std::vector<FileIdentity>& inputs, bool replaceExisting);
    // Takes `fd` (-1 when its open failed) as the output, written directly; `blockingWrites`
    // clears the O_NONBLOCK it was opened with.
    OpenResult OpenDirectly(int fd, bool blockingWrites, const std::vector<FileIdentity>& inputs);
    // Closes the device, removes an uncommitted new file and lets go of the existing file's lock.
    void Release();

    int fd_ = -1;
    bool adopted_ = false;
    bool toDevice_ = false;
    // The existing file at the path, held open for its lock; -1 when there was none.
    int lockedFd_ = -1;
    std::unique_ptr<FileReplacement> replacement_;
    int64_t position_ = 0;
    std::unique_ptr<char[]> buffer_;
    size_t buffered_ = 0;
    int systemError_ = 0;
    std::string targetFolder_;
    WriteFailure failure_;
    // With a digest, the buffer last written, hashed while `buffer_` fills; declared before the
    // digest, whose thread may still read it while the digest is destroyed.
    std::unique_ptr<char[]> spare_;
    std::unique_ptr<ContentDigest> digest_;
};

}  // namespace posixfile
