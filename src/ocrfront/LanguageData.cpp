// SPDX-License-Identifier: GPL-2.0-or-later
#include "LanguageData.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <utility>

namespace ocr {

namespace {

constexpr char kDebianFolder[] = "/usr/share/tesseract-ocr/5/tessdata";

// Debian 12's language packages (apt-cache search tesseract-ocr-), by the name of the file each
// installs: tesseract-ocr-<name>, '_' written '-'. Sorted, for a binary search.
constexpr std::string_view kLanguages[] = {
    "afr", "amh", "ara", "asm", "aze", "aze_cyrl", "bel", "ben", "bod", "bos", "bre", "bul", "cat", "ceb",
    "ces", "chi_sim", "chi_sim_vert", "chi_tra", "chi_tra_vert", "chr", "cos", "cym", "dan", "deu", "div",
    "dzo", "ell", "eng", "enm", "epo", "est", "eus", "fao", "fas", "fil", "fin", "fra", "frk", "frm", "fry",
    "gla", "gle", "glg", "grc", "guj", "hat", "heb", "hin", "hrv", "hun", "hye", "iku", "ind", "isl", "ita",
    "ita_old", "jav", "jpn", "jpn_vert", "kan", "kat", "kat_old", "kaz", "khm", "kir", "kmr", "kor",
    "kor_vert", "lao", "lat", "lav", "lit", "ltz", "mal", "mar", "mkd", "mlt", "mon", "mri", "msa", "mya",
    "nep", "nld", "nor", "oci", "ori", "osd", "pan", "pol", "por", "pus", "que", "ron", "rus", "san", "sin",
    "slk", "slv", "snd", "spa", "spa_old", "sqi", "srp", "srp_latn", "sun", "swa", "swe", "syr", "tam", "tat",
    "tel", "tgk", "tha", "tir", "ton", "tur", "uig", "ukr", "urd", "uzb", "uzb_cyrl", "vie", "yid", "yor",
};

// Its script packages, tesseract-ocr-script-<code>, which install <name>.traineddata beside the
// languages (not under script/). Sorted by name.
using Script = std::pair<std::string_view, std::string_view>;
constexpr Script kScripts[] = {
    {"Arabic", "arab"}, {"Armenian", "armn"}, {"Bengali", "beng"}, {"Canadian_Aboriginal", "cans"},
    {"Cherokee", "cher"}, {"Cyrillic", "cyrl"}, {"Devanagari", "deva"}, {"Ethiopic", "ethi"},
    {"Fraktur", "frak"}, {"Georgian", "geor"}, {"Greek", "grek"}, {"Gujarati", "gujr"}, {"Gurmukhi", "guru"},
    {"HanS", "hans"}, {"HanS_vert", "hans-vert"}, {"HanT", "hant"}, {"HanT_vert", "hant-vert"},
    {"Hangul", "hang"}, {"Hangul_vert", "hang-vert"}, {"Hebrew", "hebr"}, {"Japanese", "jpan"},
    {"Japanese_vert", "jpan-vert"}, {"Kannada", "knda"}, {"Khmer", "khmr"}, {"Lao", "laoo"}, {"Latin", "latn"},
    {"Malayalam", "mlym"}, {"Myanmar", "mymr"}, {"Oriya", "orya"}, {"Sinhala", "sinh"}, {"Syriac", "syrc"},
    {"Tamil", "taml"}, {"Telugu", "telu"}, {"Thaana", "thaa"}, {"Thai", "thai"}, {"Tibetan", "tibt"},
    {"Vietnamese", "viet"},
};

static_assert(std::ranges::is_sorted(kLanguages));
static_assert(std::ranges::is_sorted(kScripts, {}, &Script::first));

// The names of a valid list, in its order.
std::vector<std::string> LanguageNames(const std::string& languages)
{
    std::vector<std::string> names;
    std::istringstream parts(languages);
    std::string name;
    while (std::getline(parts, name, '+'))
        names.push_back(name);
    return names;
}

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

std::vector<LanguageProblem> LanguageProblems(const std::string& languages, const std::string& folder,
                                              const std::vector<std::string>& loaded)
{
    std::vector<LanguageProblem> problems;
    for (const std::string& name : LanguageNames(languages)) {
        if (access((folder + "/" + name + ".traineddata").c_str(), R_OK) != 0)
            problems.push_back({name, LanguageFault::NotInstalled});
        else if (std::ranges::find(loaded, name) == loaded.end())
            problems.push_back({name, LanguageFault::DoesNotLoad});
    }
    return problems;
}

std::string LanguagePackage(const std::string& language)
{
    if (std::ranges::binary_search(kLanguages, language)) {
        std::string package = "tesseract-ocr-" + language;
        std::ranges::replace(package, '_', '-');
        return package;
    }
    const auto script = std::ranges::lower_bound(kScripts, language, {}, &Script::first);
    if (script != std::end(kScripts) && script->first == language)
        return "tesseract-ocr-script-" + std::string(script->second);
    return {};
}

}  // namespace ocr
