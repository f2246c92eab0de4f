// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListEntries.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "ImageListFile.h"
#include "ReadableFile.h"
#include "ShownName.h"
#include "WholeTransfers.h"

namespace cli {

namespace {

// Lists are read whole; beyond this a list is refused rather than filling memory.
constexpr size_t kLargestList = size_t(256) << 20;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
    const posixfile::ReadableFile list = posixfile::OpenReadableFile(path);
    using Refusal = posixfile::ReadableFile::Refusal;
    // A socket's failed open is worded as the system words it.
    if (list.refusal == Refusal::NotRegularFile && list.systemError == 0)
        error = CannotOpen(path, "Not a regular file");
    else if (list.refusal != Refusal::None)
        error = CannotOpen(path, std::strerror(list.systemError));
    else if (!posixfile::ReadToEnd(list.file.Get(), text, kLargestList))
        error = CannotOpen(path, ReadFailure(errno));
    else
        return true;
    return false;
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

bool GatherEntries(const std::vector<Source>& sources, bool nulSeparated, int in, Entries& entries,
                   std::string& error)
{
    for (const Source& source : sources) {
        if (!source.isList) {
            entries.paths.push_back(source.path);
            entries.origins.emplace_back();
            continue;
        }
        const bool standardInput = source.path == "-";
        const std::string listName = standardInput ? "standard input" : ShownName(source.path);
        std::string text;
        if (standardInput && !posixfile::ReadToEnd(in, text, kLargestList)) {
            error = "standard input: " + ReadFailure(errno);
            return false;
        }
        if (!standardInput && !ReadListFile(source.path, text, error))
            return false;
        std::vector<std::string> items;
        std::string why;
        if (!SplitListText(text, nulSeparated, items, why)) {
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
