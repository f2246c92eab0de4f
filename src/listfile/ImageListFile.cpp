// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImageListFile.h"

#include "RegularFile.h"

#include <filesystem>

namespace imagelist {
namespace {

std::string AbsolutePath(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

ImageListError Failure(const char* what, const std::string& path, const std::string& reason)
{
    return ImageListError(std::string(what) + " \"" + AbsolutePath(path) + "\". " + reason);
}

// The item as the message shows it: each break written as the two characters \n or \r.
std::string WithBreaksShown(const std::string& item)
{
    std::string shown;
    for (const char c : item)
        shown += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return shown;
}

// "Entry <n>, "<item>", has a line break (\n) in its name", n counted from 1.
std::string EntryWithBreak(size_t index, const std::string& item)
{
    const size_t at = item.find_first_of("\r\n");
    return "Entry " + std::to_string(index + 1) + ", \"" + WithBreaksShown(item) + "\", has a line break ("
           + (item[at] == '\n' ? "\\n" : "\\r") + ") in its name";
}

constexpr const char* kOneNamePerLine = ", and a list file holds one name per line.";

void RefuseLineBreaks(const std::string& path, const std::vector<std::string>& items)
{
    const std::vector<size_t> broken = EntriesWithLineBreaks(items);
    if (!broken.empty())
        throw ImageListError("Cannot save \"" + AbsolutePath(path) + "\". " + EntryWithBreak(broken[0], items[broken[0]])
                             + kOneNamePerLine);
}

}  // namespace

std::vector<size_t> EntriesWithLineBreaks(const std::vector<std::string>& items)
{
    std::vector<size_t> broken;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].find_first_of("\r\n") != std::string::npos)
            broken.push_back(i);
    }
    return broken;
}

std::string LineBreakRefusal(const std::vector<std::string>& items, const std::vector<size_t>& broken)
{
    if (broken.size() == 1)
        return "Cannot save the list. " + EntryWithBreak(broken[0], items[broken[0]]) + kOneNamePerLine;
    std::string positions;
    for (size_t i = 0; i < broken.size(); ++i) {
        positions += i == 0 ? "" : i + 1 == broken.size() ? " and " : ", ";
        positions += std::to_string(broken[i] + 1);
    }
    return "Cannot save the list. Entries " + positions + " have a line break in their names" + kOneNamePerLine;
}

std::string FormatImageList(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) {
        text += item;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ParseImageList(std::string_view text)
{
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<std::string> items;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            items.emplace_back(text.substr(start));
            break;
        }
        items.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;  // CR LF is one break; LF CR stays two
    }
    return items;
}

void SaveImageList(const std::string& path, const std::vector<std::string>& items)
{
    RefuseLineBreaks(path, items);
    try {
        ReplaceRegularFile(path, FormatImageList(items));
    } catch (const FileAccessFailure& failure) {
        throw Failure("Cannot create file", path, failure.reason);
    }
}

std::vector<std::string> LoadImageList(const std::string& path)
{
    try {
        return ParseImageList(ReadRegularFile(path));
    } catch (const FileAccessFailure& failure) {
        throw Failure("Cannot open file", path, failure.reason);
    }
}

}  // namespace imagelist
