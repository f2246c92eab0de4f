// SPDX-License-Identifier: GPL-2.0-or-later
#include "FinalTarget.h"

#include <cerrno>
#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace posixfile {

namespace {

constexpr int kMostLinksFollowed = 40;  // as the kernel allows before ELOOP

}  // namespace

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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
