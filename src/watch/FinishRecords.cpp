// SPDX-License-Identifier: GPL-2.0-or-later
#include "FinishRecords.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "FileReplacement.h"
#include "WholeTransfers.h"

namespace watch {

namespace {

constexpr char kRecordExtension[] = ".done";
constexpr char kPendingExtension[] = ".pdf";
constexpr char kRecordMagic[] = "leafbind-watch record 1";
// The archive's folder for a copy from another file system, until it is whole.
constexpr char kCopyPrefix[] = ".leafbind-watch-copy-";
constexpr int kMostNumbers = 100000;

std::string Join(const std::string& folder, const std::string& name) { return folder + "/" + name; }

bool SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0 || errno == EINVAL;  // a file system that cannot sync folders
    const int error = errno;
    close(fd);
    errno = error;
    return synced;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Renames `from` to the first free NumberedName of `name` in `folder`, never over a file there.
// The name taken in `taken`; false with errno (EXDEV across file systems).
bool RenameToFree(const std::string& from, const std::string& folder, const std::string& name, bool keepsExtension,
                  std::string& taken)
{
    for (int number = 1; number <= kMostNumbers; ++number) {
        taken = NumberedName(name, keepsExtension, number);
        const std::string to = Join(folder, taken);
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        // A file system without the no-replace rename: a second link fails on a taken name alone.
        struct stat st;
        if (lstat(from.c_str(), &st) != 0)
            return false;
        if (S_ISDIR(st.st_mode)) {
            if (Exists(to))
                continue;
            return rename(from.c_str(), to.c_str()) == 0;
        }
        if (link(from.c_str(), to.c_str()) == 0)
            return unlink(from.c_str()) == 0 || errno == ENOENT;
        if (errno != EEXIST)
            return false;
    }
    errno = EEXIST;
    return false;
}

bool CopyFile(const std::string& from, const std::string& to, const struct stat& st)
{
    const int in = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        close(in);
        errno = error;
        return false;
    }
    bool copied = true;
    std::string block(1 << 20, '\0');
    for (;;) {
        const ssize_t got = posixfile::ReadFully(in, block.data(), block.size());
        if (got < 0 || (got > 0 && !posixfile::WriteAll(out, std::string_view(block.data(), size_t(got))))) {
            copied = false;
            break;
        }
        if (size_t(got) < block.size())
            break;
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    copied = copied && fchmod(out, st.st_mode & 07777) == 0 && futimens(out, times) == 0 && fsync(out) == 0;
    const int error = errno;
    close(in);
    close(out);
    errno = error;
    return copied;
}

// Copies the tree at `from` to the new `to`, every file and folder synced; links are copied as
// links, other kinds of file are left out.
bool CopyTree(const std::string& from, const std::string& to)
{
    struct stat st;
    if (lstat(from.c_str(), &st) != 0)
        return false;
    if (S_ISREG(st.st_mode))
        return CopyFile(from, to, st);
    if (S_ISLNK(st.st_mode)) {
        std::string target(size_t(std::max<off_t>(st.st_size, 0)) + 1, '\0');
        const ssize_t length = readlink(from.c_str(), target.data(), target.size());
        if (length < 0)
            return false;
        target.resize(size_t(length));
        return symlink(target.c_str(), to.c_str()) == 0;
    }
    if (!S_ISDIR(st.st_mode))
        return true;
    if (mkdir(to.c_str(), 0700) != 0)
        return false;
    DIR* dir = opendir(from.c_str());
    if (!dir)
        return false;
    std::vector<std::string> names;
    while (const dirent* e = readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    closedir(dir);
    for (const std::string& name : names)
        if (!CopyTree(Join(from, name), Join(to, name)))
            return false;
    const timespec times[2] = {st.st_atim, st.st_mtim};
    return chmod(to.c_str(), st.st_mode & 07777) == 0 && utimensat(AT_FDCWD, to.c_str(), times, 0) == 0
        && SyncFolder(to);
}

std::string Describe(const std::string& what, int error) { return what + ": " + std::strerror(error); }

}  // namespace

StateFolder::~StateFolder()
{
    if (folderFd_ >= 0)
        close(folderFd_);
}

bool StateFolder::Open(const std::string& out, std::string& error)
{
    path_ = Join(out, kStateFolderName);
    if (mkdir(path_.c_str(), 0700) != 0 && errno != EEXIST) {
        error = Describe("cannot make the state folder " + path_, errno);
        return false;
    }
    folderFd_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd_ < 0) {
        error = Describe("cannot open the state folder " + path_, errno);
        return false;
    }
    if (flock(folderFd_, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? "another leafbind-watch writes to " + out + " (its state folder is locked)"
                                     : Describe("cannot lock the state folder " + path_, errno);
        return false;
    }
    SyncFolder(out);
    return true;
}

std::string StateFolder::NewId()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    char id[64];
    std::snprintf(id, sizeof id, "%020lld-%d-%u",
                  static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                  static_cast<int>(getpid()), ++serial_);
    return id;
}

std::string StateFolder::PendingDocument(const std::string& id) const { return Join(path_, id + kPendingExtension); }

bool StateFolder::Write(const FinishRecord& record)
{
    std::string text = kRecordMagic;
    text += '\0' + record.entry + '\0' + record.document + '\0'
        + (record.stage == FinishRecord::Stage::Copied ? "copied" : "written") + '\0';
    posixfile::FileReplacement file;
    if (!file.Begin(Join(path_, record.id + kRecordExtension), nullptr))
        return false;
    if (!posixfile::WriteAll(file.Descriptor(), text)) {
        file.Abandon();
        return false;
    }
    return file.Commit(posixfile::FileReplacement::Flush::ToDisk, posixfile::FileReplacement::Existing::Replace);
}

std::vector<FinishRecord> StateFolder::Records(std::vector<std::string>& unreadable) const
{
    std::vector<FinishRecord> records;
    DIR* dir = opendir(path_.c_str());
    if (!dir)
        return records;
    std::vector<std::string> names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() > std::strlen(kRecordExtension) && name.front() != '.' && name.ends_with(kRecordExtension))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string text;
        const int fd = open(Join(path_, name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        const bool read = fd >= 0 && posixfile::ReadToEnd(fd, text, 1 << 20);
        if (fd >= 0)
            close(fd);
        std::vector<std::string> fields;
        for (size_t at = 0; read && at < text.size();) {
            const size_t end = text.find('\0', at);
            if (end == std::string::npos)
                break;
            fields.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        if (fields.size() != 4 || fields[0] != kRecordMagic || fields[1].empty() || fields[2].empty()
            || (fields[3] != "written" && fields[3] != "copied")) {
            unreadable.push_back(Join(path_, name));
            continue;
        }
        FinishRecord record;
        record.id = name.substr(0, name.size() - std::strlen(kRecordExtension));
        record.entry = fields[1];
        record.document = fields[2];
        record.stage = fields[3] == "copied" ? FinishRecord::Stage::Copied : FinishRecord::Stage::Written;
        records.push_back(record);
    }
    return records;
}

bool StateFolder::Drop(const std::string& id)
{
    if (unlinkat(folderFd_, (id + kRecordExtension).c_str(), 0) != 0 && errno != ENOENT)
        return false;
    return fsync(folderFd_) == 0;
}

void StateFolder::RemoveLeftovers()
{
    std::vector<std::string> unreadable;
    const std::vector<FinishRecord> records = Records(unreadable);
    DIR* dir = opendir(path_.c_str());
    if (!dir)
        return;
    std::vector<std::string> leftovers;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const bool pending = name.ends_with(kPendingExtension)
            && std::any_of(records.begin(), records.end(), [&name](const FinishRecord& r) {
                   return r.id + kPendingExtension == name;
               });
        if (!pending && (name.front() == '.' || name.ends_with(kPendingExtension)))
            leftovers.push_back(name);
    }
    closedir(dir);
    for (const std::string& name : leftovers)
        unlinkat(folderFd_, name.c_str(), 0);
    fsync(folderFd_);
}

std::string NumberedName(const std::string& name, bool keepsExtension, int number)
{
    if (number <= 1)
        return name;
    const std::string mark = " (" + std::to_string(number) + ")";
    const size_t dot = keepsExtension ? name.rfind('.') : std::string::npos;
    if (dot == std::string::npos || dot == 0)
        return name + mark;
    return name.substr(0, dot) + mark + name.substr(dot);
}

bool RemoveTree(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return unlink(path.c_str()) == 0 || errno == ENOENT;
    const auto remove = [](const char* item, const struct stat*, int, FTW*) -> int {
        return ::remove(item) == 0 || errno == ENOENT ? 0 : -1;
    };
    return nftw(path.c_str(), remove, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

Completion Complete(StateFolder& state, const Places& places, FinishRecord record)
{
    Completion done;
    const std::string pending = state.PendingDocument(record.id);
    if (Exists(pending)) {
        if (!RenameToFree(pending, places.out, record.document, true, done.document)) {
            done.error = Describe("cannot name the document in " + places.out, errno);
            return done;
        }
        if (!SyncFolder(places.out) || !SyncFolder(state.Path())) {
            done.error = Describe("cannot sync " + places.out, errno);
            return done;
        }
    }
    const std::string source = Join(places.in, record.entry);
    struct stat st;
    const bool sourceThere = lstat(source.c_str(), &st) == 0;
    const bool folder = sourceThere && S_ISDIR(st.st_mode);  // a file's number goes before its extension
    const std::string copy = places.archive.empty() ? "" : Join(places.archive, kCopyPrefix + record.id);
    if (places.sourcesGo == SourcesGo::Remove) {
        if (sourceThere && (!RemoveTree(source) || !SyncFolder(places.in))) {
            done.error = Describe("cannot remove " + source, errno);
            return done;
        }
    } else if (record.stage == FinishRecord::Stage::Written && sourceThere) {
        if (RenameToFree(source, places.archive, record.entry, !folder, done.archived)) {
            if (!SyncFolder(places.archive) || !SyncFolder(places.in)) {
                done.error = Describe("cannot sync " + places.archive, errno);
                return done;
            }
        } else if (errno != EXDEV) {
            done.error = Describe("cannot move " + source + " to " + places.archive, errno);
            return done;
        } else {
            // Another file system: a whole, synced copy first, recorded, then the sources go.
            if (!RemoveTree(copy) || !CopyTree(source, copy) || !SyncFolder(places.archive)) {
                done.error = Describe("cannot copy " + source + " to " + places.archive, errno);
                RemoveTree(copy);
                return done;
            }
            record.stage = FinishRecord::Stage::Copied;
            if (!state.Write(record)) {
                done.error = Describe("cannot record the copy of " + source, errno);
                return done;
            }
        }
    }
    if (record.stage == FinishRecord::Stage::Copied) {
        struct stat copied;
        if (lstat(copy.c_str(), &copied) == 0
            && (!RenameToFree(copy, places.archive, record.entry, !S_ISDIR(copied.st_mode), done.archived)
                || !SyncFolder(places.archive))) {
            done.error = Describe("cannot name the copy of " + source + " in " + places.archive, errno);
            return done;
        }
        if (sourceThere && (!RemoveTree(source) || !SyncFolder(places.in))) {
            done.error = Describe("cannot remove " + source + " once copied", errno);
            return done;
        }
    } else if (!copy.empty()) {
        RemoveTree(copy);  // a copy cut short before it was recorded
    }
    if (!state.Drop(record.id))
        done.error = Describe("cannot drop the record " + record.id, errno);
    return done;
}

}  // namespace watch
