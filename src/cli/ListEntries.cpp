// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListEntries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "ImageListFile.h"
#include "ShownName.h"

namespace cli {

namespace {

// Lists are read whole; beyond this a list is refused rather than filling memory.
constexpr size_t kLargestList = size_t(256) << 20;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads `fd` to its end; false with errno set (EFBIG past kLargestList).
bool ReadAll(int fd, std::string& text)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (text.size() + static_cast<size_t>(n) > kLargestList) {
            errno = EFBIG;
            return false;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
}

std::string ReadFailure(int error) { return error == EFBIG ? "larger than 256 MiB" : std::strerror(error); }

// As the window's list reader words it: "Cannot open file "<absolute path>". <reason>".
std::string CannotOpen(const std::string& path, const std::string& reason)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return "Cannot open file \"" + ShownName(absolute.empty() ? path : absolute.lexically_normal().string()) + "\". "
        + reason;
}

// Only a regular file is read, so a FIFO or device named by mistake never blocks.
bool ReadListFile(const std::string& path, std::string& text, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = CannotOpen(path, std::strerror(errno));
        return false;
    }
    struct stat info { };
    bool read = false;
    if (fstat(fd, &info) != 0)
        error = CannotOpen(path, std::strerror(errno));
    else if (!S_ISREG(info.st_mode))
        error = CannotOpen(path, "Not a regular file");
    else if (!ReadAll(fd, text))
        error = CannotOpen(path, ReadFailure(errno));
    else
        read = true;
    ::close(fd);
    return read;
}

}  // namespace

bool SplitListText(std::string_view text, bool nulSeparated, std::vector<std::string>& entries, std::string& why)
{
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    if (!nulSeparated) {
        const size_t nul = text.find('\0');
        if (nul != std::string_view::npos && nul + 1 < text.size()) {
            why = "holds NUL bytes; with --null (-0) its names are taken as ended by NUL bytes";
            return false;
        }
        entries = imagelist::ParseImageList(text);  // stops at a last NUL
        return true;
    }
    entries.clear();
    while (!text.empty()) {
        const size_t end = text.find('\0');
        entries.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return true;
}

std::string EntryFromList(const std::string& listPath, std::string entry)
{
    const size_t slash = listPath.rfind('/');
    if (listPath == "-" || slash == std::string::npos || entry.empty() || entry[0] == '/')
        return entry;
    return listPath.substr(0, slash + 1) + entry;
}

bool GatherEntries(const CommandLine& command, int in, Entries& entries, std::string& error)
{
    for (const Source& source : command.sources) {
        if (!source.isList) {
            entries.paths.push_back(source.path);
            entries.origins.emplace_back();
            continue;
        }
        const bool standardInput = source.path == "-";
        const std::string listName = standardInput ? "standard input" : ShownName(source.path);
        std::string text;
        if (standardInput && !ReadAll(in, text)) {
            error = "standard input: " + ReadFailure(errno);
            return false;
        }
        if (!standardInput && !ReadListFile(source.path, text, error))
            return false;
        std::vector<std::string> items;
        std::string why;
        if (!SplitListText(text, command.nulSeparated, items, why)) {
            error = listName + ": " + why;
            return false;
        }
        text = std::string();  // the list's copy in `items` is enough
        for (size_t i = 0; i < items.size(); ++i) {
            entries.paths.push_back(EntryFromList(source.path, std::move(items[i])));
            entries.origins.push_back({listName, i + 1});
        }
    }
    return true;
}

std::string ShownEntry(const Entries& entries, int entry)
{
    const Origin& origin = entries.origins[static_cast<size_t>(entry)];
    const std::string& path = entries.paths[static_cast<size_t>(entry)];
    if (origin.list.empty())
        return path.empty() ? "(empty argument)" : ShownName(path);
    const std::string place = origin.list + ":" + std::to_string(origin.line);
    return path.empty() ? place : place + ": " + ShownName(path);
}

}  // namespace cli
