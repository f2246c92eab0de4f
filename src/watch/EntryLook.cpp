// SPDX-License-Identifier: GPL-2.0-or-later
#include "EntryLook.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace watch {

namespace {

int64_t Nanoseconds(const timespec& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; }

ItemState StateOf(const std::string& path, const struct stat& st)
{
    return {path, st.st_mode & S_IFMT, st.st_ino, int64_t(st.st_size), Nanoseconds(st.st_mtim),
            Nanoseconds(st.st_ctim)};
}

// The names in the folder open as `fd` (which it closes), "." and ".." left out.
std::vector<std::string> NamesIn(int fd)
{
    std::vector<std::string> names;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return names;
    }
    while (const dirent* e = readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void LookInto(int parentFd, const std::string& name, const std::string& prefix, int depth, EntryLook& look)
{
    const int fd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    const int keep = dup(fd);  // fdopendir takes `fd`; the items are stat'ed through this one
    if (keep < 0) {
        close(fd);
        return;
    }
    for (const std::string& child : NamesIn(fd)) {
        if (look.items.size() >= kMostLookItems)
            break;
        struct stat st;
        if (fstatat(keep, child.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since the listing: the folder's own time says so
        const std::string path = prefix + child;
        look.items.push_back(StateOf(path, st));
        if (S_ISDIR(st.st_mode) && depth < kMostLookDepth)
            LookInto(keep, child, path + "/", depth + 1, look);
    }
    close(keep);
}

}  // namespace

bool SkippedName(std::string_view name) noexcept
{
    if (name.empty() || name.front() == '.')
        return true;
    const auto same = [&name](const char* word) {
        return name.size() == std::char_traits<char>::length(word) && strncasecmp(name.data(), word, name.size()) == 0;
    };
    return same("Thumbs.db") || same("desktop.ini");
}

EntryLook LookAt(int folderFd, const std::string& name)
{
    EntryLook look;
    struct stat st;
    if (fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
        return look;
    look.exists = true;
    look.folder = S_ISDIR(st.st_mode);
    look.items.push_back(StateOf("", st));
    if (look.folder)
        LookInto(folderFd, name, "", 1, look);
    return look;
}

bool OpenForWriting(int folderFd, const std::string& name, const EntryLook& look)
{
    for (const ItemState& item : look.items) {
        if (item.type != S_IFREG)
            continue;
        const std::string path = item.path.empty() ? name : name + "/" + item.path;
        const int fd = openat(folderFd, path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        const bool writing = fcntl(fd, F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN;
        close(fd);  // and the lease with it
        if (writing)
            return true;
    }
    return false;
}

bool WatchedNames(int folderFd, std::vector<std::string>& names)
{
    names.clear();
    const int fd = dup(folderFd);
    if (fd < 0)
        return false;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    rewinddir(dir);
    errno = 0;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (SkippedName(name))
            continue;
        struct stat st;
        if (fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
            names.push_back(name);
        errno = 0;
    }
    const int error = errno;
    closedir(dir);
    errno = error;
    return error == 0;
}

}  // namespace watch
