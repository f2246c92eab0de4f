// SPDX-License-Identifier: GPL-2.0-or-later
// One worker's recogniser: the engines are loaded once and reused for every page the worker takes.
// Not thread-safe: each worker owns one.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "OcrSettings.h"
#include "PagePixels.h"
#include "PageText.h"
#include "PageWords.h"

namespace tesseract {
class TessBaseAPI;
}

namespace ocr {

class PageRecogniser {
public:
    // `cancel`, when set, stops a recognition under way; its page comes back empty.
    PageRecogniser(const std::string& dataFolder, const OcrSettings& settings, const std::atomic<bool>* cancel);
    ~PageRecogniser();
    PageRecogniser(const PageRecogniser&) = delete;
    PageRecogniser& operator=(const PageRecogniser&) = delete;

    // False when the language data could not be loaded (checked before any work starts).
    bool Ready() const { return ready_; }
    // The languages loaded, "osd" among them when the orientation detector's data was.
    std::vector<std::string> LoadedLanguages() const;
    // Reads a page scanned askew from a straightened copy of its pixels; with straightening asked
    // for, the page's turn comes back too. `record`, when given, gets the same words as PageWords
    // has them (its size too, whether or not any word is found).
    jpeg2pdf::PageText Recognise(const PagePixels& picture, PageWords* record = nullptr);

private:
    // Clockwise quarter turns that show the picture upright, or 0 when the detection is unsure.
    int UprightTurns(Pix* pix, int dotsPerInch);

    std::unique_ptr<tesseract::TessBaseAPI> text_;
    std::unique_ptr<tesseract::TessBaseAPI> orientation_;  // only with rotatePages
    const std::atomic<bool>* cancel_;
    bool straighten_ = false;
    bool ready_ = false;
    bool textReady_ = false;
    bool orientationReady_ = false;
};

// The orientation detector's confidence above which a page is turned: measured on upright, sideways
// and upside-down pages (see the man page).
constexpr float kOrientationConfidence = 3.0f;

}  // namespace ocr
