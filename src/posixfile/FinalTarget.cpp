// SPDX-License-Identifier: GPL-2.0-or-later
#include "FinalTarget.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace posixfile {

namespace {

constexpr int kMostLinksFollowed = 40;  // as the kernel allows before ELOOP

// The descriptor `path` names directly, as /proc/<this process>/fd/N does (and so /dev/fd/N).
int DescriptorOf(const std::string& path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    char folder[PATH_MAX];
    if (!::realpath(FolderOf(path).c_str(), folder))
        return -1;
    return folder == "/proc/" + std::to_string(::getpid()) + "/fd" ? std::stoi(name) : -1;
}

}  // namespace

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int NamedDescriptor(const std::string& path)
{
    std::string at = path;
    for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
        if (const int fd = DescriptorOf(at); fd >= 0)
            return fd;
        struct stat info { };
        char link[PATH_MAX];
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return -1;
        const ssize_t length = ::readlink(at.c_str(), link, sizeof link);
        if (length < 0 || static_cast<size_t>(length) == sizeof link)
            return -1;
        const std::string next(link, static_cast<size_t>(length));
        at = next.starts_with('/') ? next : FolderOf(at) + "/" + next;
    }
    return -1;
}

bool FinalTarget(const std::string& path, std::string& target)
{
    std::string at = path;
    for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
        struct stat info { };
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = std::move(at);
            return true;
        }
        char link[PATH_MAX];
        const ssize_t length = ::readlink(at.c_str(), link, sizeof link);
        if (length < 0)
            return false;
        if (static_cast<size_t>(length) == sizeof link) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string next(link, static_cast<size_t>(length));
        at = next.starts_with('/') ? next : FolderOf(at) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

}  // namespace posixfile
