// File access for the export engine: locked opens, positioned reads, and an output that counts
// its bytes and checks every write. POSIX only; nothing here throws except std::bad_alloc.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jpeg2pdf {

// Which file a path names, independent of the path's spelling (links, "..", symlinks).
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

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
    // access, or a file locked by a writer. Never blocks (FIFOs and devices are refused unopened).
    bool Open(const std::string& path);
    void Close();

    int Descriptor() const { return fd_; }
    int64_t Size() const { return size_; }
    const FileIdentity& Identity() const { return identity_; }

    // Reads up to `count` bytes at `offset`; returns the number read (0 at end of file), -1 on error.
    int64_t ReadAt(int64_t offset, void* buffer, size_t count) const;

private:
    int fd_ = -1;
    int64_t size_ = 0;
    FileIdentity identity_;
};

// The PDF being written. Text and file contents are gathered in one buffer and written in large
// pieces. Position() counts every byte handed over, so it is the offset in the file.
class OutputFile {
public:
    enum class OpenResult { Opened, Failed, IsOneOfInputs };

    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens or creates the file for reading and writing, takes its exclusive lock without waiting,
    // and only then empties it, so a file that someone else holds stays untouched. A path that
    // names one of `inputs` is refused before anything is changed.
    OpenResult Open(const std::string& path, const std::vector<FileIdentity>& inputs);

    bool Write(std::string_view bytes);
    // Appends exactly `count` bytes of `input` from its start; false if the file ends sooner or
    // anything fails.
    bool CopyFrom(const InputFile& input, int64_t count);
    // Writes what is buffered and closes; false if any of that fails.
    bool Close();

    int64_t Position() const { return position_; }

private:
    bool Flush();
    bool WriteAll(const char* data, size_t size);
    // Copies bytes [from, count) of `input`.
    bool CopyThroughBuffer(const InputFile& input, int64_t from, int64_t count);

    int fd_ = -1;
    int64_t position_ = 0;
    std::unique_ptr<char[]> buffer_;
    size_t buffered_ = 0;
};

}  // namespace jpeg2pdf
