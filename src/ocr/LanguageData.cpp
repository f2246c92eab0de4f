// SPDX-License-Identifier: GPL-2.0-or-later
#include "LanguageData.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace ocr {

namespace {

constexpr char kDebianFolder[] = "/usr/share/tesseract-ocr/5/tessdata";

}  // namespace

std::string LanguageDataFolder()
{
    const char* prefix = std::getenv("TESSDATA_PREFIX");
    return prefix && *prefix ? prefix : kDebianFolder;
}

bool ValidLanguageList(const std::string& languages)
{
    std::istringstream parts(languages + "+");
    std::string name;
    int count = 0;
    while (std::getline(parts, name, '+')) {
        const std::string base = name.starts_with("script/") ? name.substr(7) : name;
        if (base.empty() || base.front() == '-')
            return false;
        for (unsigned char c : base)
            if (!std::isalnum(c) && c != '_' && c != '-')
                return false;
        ++count;
    }
    return count > 0 && !languages.ends_with('+');
}

std::string MissingLanguage(const std::string& languages, const std::string& folder)
{
    std::istringstream parts(languages);
    std::string name;
    while (std::getline(parts, name, '+'))
        if (access((folder + "/" + name + ".traineddata").c_str(), R_OK) != 0)
            return name;
    return {};
}

std::string LanguagePackage(const std::string& language)
{
    std::string package = "tesseract-ocr-";
    for (char c : language)
        package += c == '_' || c == '/' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return package;
}

}  // namespace ocr
