// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes, split at 0xFF bytes into bookmark titles, to the rule that makes them the
// extracted pictures' file names, and checks what must hold for any title: every name is a safe
// name of one folder (no '/', no control byte, not "." or "..", no leading '-' or '.', at most 255
// bytes, a JPEG extension), names are unique, and a safe name made safe again is unchanged.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "PageFileNames.h"
#include "SafeFileName.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void RequireSafe(const std::string& name)
{
    Require(!name.empty() && name.size() <= extract::kLongestName);
    Require(name != "." && name != ".." && name[0] != '-' && name[0] != '.');
    for (unsigned char c : name)
        Require(c >= 0x20 && c != 0x7F && c != '/');
    std::string extension = name.substr(std::min(name.rfind('.'), name.size()));
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    Require(extension == ".jpg" || extension == ".jpeg" || extension == ".jpe" || extension == ".jfif");
    Require(extract::SafeFileName(name) == name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> titles;
    for (size_t start = 0;;) {
        const size_t end = input.find('\xFF', start);
        titles.emplace_back(input.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    for (const std::string& title : titles) {
        const std::string name = extract::SafeFileName(title);
        if (!name.empty())
            RequireSafe(name);
    }
    const std::vector<std::string> names = extract::PageFileNames(titles, static_cast<int>(titles.size()));
    Require(names.size() == titles.size());
    for (const std::string& name : names)
        RequireSafe(name);
    Require(std::set<std::string>(names.begin(), names.end()).size() == names.size());
    return 0;
}
