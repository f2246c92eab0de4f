// SPDX-License-Identifier: GPL-2.0-or-later
// Where the recogniser's language data lies, and whether a language is there: checked before
// anything is written, so a missing language is a usage error rather than pages without text.
#pragma once

#include <string>

namespace ocr {

// TESSDATA_PREFIX when set (the folder of the .traineddata files, as the recogniser reads it), else
// Debian's folder.
std::string LanguageDataFolder();

// True when `languages` is language names joined by '+' (letters, digits, '_', '-', and a
// "script/" prefix).
bool ValidLanguageList(const std::string& languages);

// The first of `languages` (a valid list) without a .traineddata file in `folder`; empty when every
// one is there.
std::string MissingLanguage(const std::string& languages, const std::string& folder);

// The Debian package that brings a language's data: tesseract-ocr-deu, tesseract-ocr-chi-sim.
std::string LanguagePackage(const std::string& language);

}  // namespace ocr
