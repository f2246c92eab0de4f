// SPDX-License-Identifier: GPL-2.0-or-later
// The one function the recognition module exports (RecognitionModule.h opens it).
#include "RecognisedPages.h"
#include "RecognitionModule.h"

extern "C" __attribute__((visibility("default"))) ocr::RecognitionSource*
leafbind_open_recognition(const ocr::OcrSettings& settings, const std::string& dataFolder,
                          const ocr::RecognitionSource::Callbacks& callbacks)
{
    return new ocr::RecognisedPages(settings, dataFolder, callbacks.warn, callbacks.noteTurn, callbacks.lacking);
}

// The entry's type is the loader's.
static_assert(std::is_same_v<decltype(&leafbind_open_recognition), ocr::RecognitionEntry>);
