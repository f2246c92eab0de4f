// SPDX-License-Identifier: GPL-2.0-or-later
#include "FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "PictureSignature.h"
#include "UniqueDescriptor.h"
#include "WholeTransfers.h"

namespace folders {

namespace {

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

unsigned char Folded(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The digit run starting at `at`: its length, and where its value's digits start (past leading zeros).
struct DigitRun {
    size_t end = 0;
    size_t significant = 0;
};

DigitRun RunAt(std::string_view name, size_t at)
{
    DigitRun run{at, at};
    while (run.end < name.size() && IsDigit(name[run.end]))
        ++run.end;
    while (run.significant + 1 < run.end && name[run.significant] == '0')
        ++run.significant;
    return run;
}

// -1, 0 or 1 by the natural rules alone.
int NaturalCompare(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (IsDigit(ca) && IsDigit(cb)) {
            const DigitRun ra = RunAt(a, i);
            const DigitRun rb = RunAt(b, j);
            const size_t la = ra.end - ra.significant;
            const size_t lb = rb.end - rb.significant;
            if (la != lb)
                return la < lb ? -1 : 1;
            const int digits = a.substr(ra.significant, la).compare(b.substr(rb.significant, lb));
            if (digits != 0)
                return digits < 0 ? -1 : 1;
            i = ra.end;
            j = rb.end;
            continue;
        }
        if (Folded(ca) != Folded(cb))
            return Folded(ca) < Folded(cb) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

// 1 when the file `name` in `folder` starts as a picture the export takes; 0 when it does not or
// is no regular file after all; -1 when it cannot be opened or read.
int TakenPicture(int folder, const char* name, bool followLinks)
{
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    posixfile::UniqueDescriptor file(::openat(folder, name, flags));
    if (!file.IsOpen())
        return errno == ELOOP ? 0 : -1;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return -1;
    if (!S_ISREG(info.st_mode))
        return 0;
    uint8_t first[jpeg2pdf::kPictureSignatureBytes];
    const ssize_t got = posixfile::ReadFully(file.Get(), first, sizeof first);
    if (got < 0)
        return -1;
    return jpeg2pdf::ExportTakesSignature(first, static_cast<size_t>(got)) ? 1 : 0;
}

void SortNaturally(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) noexcept
{
    const int order = NaturalCompare(a, b);
    return order != 0 ? order < 0 : a < b;
}

FolderListing ListFolder(const std::string& folder, const ListingRules& rules)
{
    FolderListing listing;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        listing.systemError = errno;
        return listing;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        listing.systemError = errno;
        ::close(fd);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) {
                const int error = errno;
                listing = FolderListing{};
                listing.systemError = error;
            }
            break;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        if (name.front() == '.') {
            ++listing.hidden;
            continue;
        }
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            ++listing.unreadable;
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            listing.folders.emplace_back(name);
            continue;
        }
        if (S_ISLNK(info.st_mode)) {
            // A link to a folder is not followed: a tree of links could lead round in a circle.
            struct stat target {};
            if (!rules.followLinks || (::fstatat(fd, entry->d_name, &target, 0) == 0 && !S_ISREG(target.st_mode))) {
                ++listing.notPictures;
                continue;
            }
        } else if (!S_ISREG(info.st_mode)) {
            ++listing.notPictures;
            continue;
        }
        switch (TakenPicture(fd, entry->d_name, rules.followLinks)) {
        case 1: listing.pictures.emplace_back(name); break;
        case 0: ++listing.notPictures; break;
        default: ++listing.unreadable; break;
        }
    }
    ::closedir(dir);
    SortNaturally(listing.pictures);
    SortNaturally(listing.folders);
    return listing;
}

}  // namespace folders
