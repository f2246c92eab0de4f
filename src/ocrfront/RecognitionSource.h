// SPDX-License-Identifier: GPL-2.0-or-later
// What the command line asks of the recogniser, which lives in a module of its own (see
// RecognitionModule.h): the engine's page text source, and what the run reports afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "OcrSettings.h"
#include "PageText.h"
#include "PageWords.h"

namespace ocr {

class RecognitionSource : public jpeg2pdf::PageTextSource {
public:
    // Told on the thread that calls Take, with the page's entry and one line without its name.
    using Warning = std::function<void(int entry, const std::string& text)>;
    // Told, on the thread that calls Take, how far a page is turned to straighten it.
    using TurnNote = std::function<void(int entry, double turn)>;
    // Told, on the thread that calls Take, each page's words as the text layer gets them, with
    // their boxes and confidences, before Take hands the page's text over.
    using WordsNote = std::function<void(const jpeg2pdf::PageTextRequest& page, const PageWords& words)>;

    struct Callbacks {
        Warning warn;  // what is worth knowing (a page recognised as stored while Exif turns it)
        TurnNote noteTurn;
        Warning lacking;  // a page that comes back without all its text; null: `warn` is told
    };

    // What of the settings' languages (and "osd" with rotatePages) the recogniser loaded before
    // any work: a language missing here cannot be used.
    virtual std::vector<std::string> LoadedLanguages() const = 0;
    // Set before Begin.
    virtual void KeepWords(WordsNote note) = 0;
    // Pages taken so far that came back without all their text (not blank pages: pictures that
    // could not be decoded, or decoded only in part).
    virtual int PagesLackingText() const = 0;
};

}  // namespace ocr
