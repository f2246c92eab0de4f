// SPDX-License-Identifier: GPL-2.0-or-later
// Where the recogniser's language data lies, whether each language is there and loads, and which
// Debian package brings it: checked before anything is written, so language data that is missing
// or cannot be loaded is a usage error rather than pages without text.
#pragma once

#include <string>
#include <vector>

namespace ocr {

// TESSDATA_PREFIX when set (the folder of the .traineddata files, as the recogniser reads it), else
// Debian's folder.
std::string LanguageDataFolder();

// True when `languages` is language names joined by '+' (letters, digits, '_', '-', and a
// "script/" prefix).
bool ValidLanguageList(const std::string& languages);

enum class LanguageFault {
    NotInstalled,  // no readable .traineddata in the folder
    DoesNotLoad,  // the file is there, and the recogniser cannot load it (damaged, cut short, another kind)
};

struct LanguageProblem {
    std::string language;
    LanguageFault fault = LanguageFault::NotInstalled;
};

// Every language of `languages` (a valid list) that cannot be used, in list order: one without a
// readable .traineddata file in `folder`, and one that is not among `loaded` (what the recogniser
// loaded of the list).
std::vector<LanguageProblem> LanguageProblems(const std::string& languages, const std::string& folder,
                                              const std::vector<std::string>& loaded);

// The Debian 12 package that brings a language's data: tesseract-ocr-deu for deu, tesseract-ocr-chi-sim
// for chi_sim, tesseract-ocr-script-latn for Latin. Empty when Debian has none.
std::string LanguagePackage(const std::string& language);

}  // namespace ocr
