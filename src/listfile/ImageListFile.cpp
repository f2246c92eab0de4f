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

void RefuseLineBreaks(const std::string& path, const std::vector<std::string>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const size_t at = items[i].find_first_of("\r\n");
        if (at == std::string::npos)
            continue;
        throw ImageListError("Cannot save \"" + AbsolutePath(path) + "\". Entry " + std::to_string(i + 1) + ", \""
                             + WithBreaksShown(items[i]) + "\", has a line break ("
                             + (items[i][at] == '\n' ? "\\n" : "\\r")
                             + ") in its name, and a list file holds one name per line.");
    }
}

}  // namespace

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
