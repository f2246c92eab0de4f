// SPDX-License-Identifier: GPL-2.0-or-later
// The recogniser (Tesseract, Leptonica, OpenMP) is a module opened only when a run recognises or
// straightens pages, so a plain export loads none of it: it is looked for beside the program (a
// build tree), then where the install rules put it, relative to the program's folder.
#pragma once

#include <memory>
#include <string>

#include "RecognitionSource.h"

namespace ocr {

// The module's file name, and the one function it exports.
inline constexpr const char* kRecognitionModule = "leafbind-ocr.so";
inline constexpr const char* kRecognitionEntry = "leafbind_open_recognition";
using RecognitionEntry = RecognitionSource* (*)(const OcrSettings& settings, const std::string& dataFolder,
                                                const RecognitionSource::Callbacks& callbacks);

// With recognition asked for, loads the language data on the calling thread (see
// LoadedLanguages). Null with `error` set (the module's path and the loader's words) when the
// module cannot be opened; it stays open for the rest of the program.
std::unique_ptr<RecognitionSource> OpenRecognition(const OcrSettings& settings, const std::string& dataFolder,
                                                   const RecognitionSource::Callbacks& callbacks, std::string& error);

}  // namespace ocr
