// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageRecogniser.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "PageSkew.h"
#include "RecognisedLayout.h"

namespace ocr {

namespace {

// The recogniser's own diagnostics ("Invalid resolution", "Too few characters") would break the
// command line's one-line messages.
void Silence(tesseract::TessBaseAPI& api) { api.SetVariable("debug_file", "/dev/null"); }

// The recogniser keeps some settings (the diagnostics' file among them) in globals that loading and
// unloading write: workers load and unload one at a time.
std::mutex loading;

bool Cancelled(void* flag, int)
{
    return flag && static_cast<const std::atomic<bool>*>(flag)->load(std::memory_order_relaxed);
}

void SetPicture(tesseract::TessBaseAPI& api, Pix* pix, int dotsPerInch)
{
    api.SetImage(pix);
    // A density the file states; otherwise the recogniser's own guess (it warns, silenced above).
    if (dotsPerInch >= 70 && dotsPerInch <= 2400)
        api.SetSourceResolution(dotsPerInch);
}

}  // namespace

PageRecogniser::PageRecogniser(const std::string& dataFolder, const OcrSettings& settings,
                               const std::atomic<bool>* cancel)
    : text_(std::make_unique<tesseract::TessBaseAPI>()), cancel_(cancel), straighten_(settings.straighten)
{
    const std::lock_guard lock(loading);
    Silence(*text_);
    // The LSTM recogniser alone: it learns nothing from one page for the next, so a page's words do
    // not depend on which worker read which pages before it.
    textReady_ = text_->Init(dataFolder.c_str(), settings.languages.c_str(), tesseract::OEM_LSTM_ONLY) == 0;
    ready_ = textReady_;
    // Layout analysis finds the blocks and columns (the API's default takes the page as one block).
    text_->SetPageSegMode(tesseract::PSM_AUTO);
    // Loaded even when the languages are not, so a check can name everything that fails.
    if (settings.rotatePages) {
        orientation_ = std::make_unique<tesseract::TessBaseAPI>();
        Silence(*orientation_);
        orientationReady_ = orientation_->Init(dataFolder.c_str(), "osd", tesseract::OEM_TESSERACT_ONLY) == 0;
        ready_ = ready_ && orientationReady_;
        orientation_->SetPageSegMode(tesseract::PSM_OSD_ONLY);
    }
}

std::vector<std::string> PageRecogniser::LoadedLanguages() const
{
    // A language of the list that fails to load is left out by the recogniser, which loads the rest.
    // After a failed load it still names the first language.
    std::vector<std::string> loaded;
    if (textReady_)
        text_->GetLoadedLanguagesAsVector(&loaded);
    if (orientationReady_)
        loaded.push_back("osd");
    return loaded;
}

PageRecogniser::~PageRecogniser()
{
    const std::lock_guard lock(loading);
    if (orientation_)
        orientation_->End();
    text_->End();
}

int PageRecogniser::UprightTurns(Pix* pix, int dotsPerInch)
{
    SetPicture(*orientation_, pix, dotsPerInch);
    int degrees = 0;
    float confidence = 0, scriptConfidence = 0;
    const char* script = nullptr;
    const bool found
        = orientation_->DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence);
    orientation_->Clear();
    orientation_->ClearAdaptiveClassifier();
    // `degrees` is how far the picture is turned clockwise from upright; turning it on by the rest
    // of a full turn shows it upright.
    if (!found || confidence < kOrientationConfidence || degrees % 90 != 0)
        return 0;
    return (4 - degrees / 90 % 4) % 4;
}

jpeg2pdf::PageText PageRecogniser::Recognise(const PagePixels& picture, PageWords* record)
{
    PageWords words;
    words.width = picture.width, words.height = picture.height;
    if (record)
        *record = words;
    if (!ready_ || !picture.pix)
        return {};
    Pix* pix = picture.pix.get();
    PixPtr upright;
    const int turns = orientation_ ? UprightTurns(pix, picture.dotsPerInch) : 0;
    // The record stays in the upright picture's pixels.
    if (turns % 2 != 0)
        std::swap(words.width, words.height);
    if (record)
        *record = words;
    if (turns != 0) {
        upright.reset(pixRotateOrth(pix, turns));
        if (!upright)
            return {};
        pix = upright.get();
    }
    // The recogniser loses whole lines on a page turned by two degrees or more: it reads a level
    // copy, and the words are carried back.
    const std::optional<double> skew = MeasureSkew(pix);
    StraightPixels straight;
    if (skew && std::abs(*skew) >= kLeastSkew) {
        straight = Straightened(pix, *skew);
        if (!straight.pix)
            return {};
    }
    SetPicture(*text_, straight.pix ? straight.pix.get() : pix, picture.dotsPerInch);
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = Cancelled;
    monitor.cancel_this = const_cast<std::atomic<bool>*>(cancel_);
    jpeg2pdf::PageText text;
    if (text_->Recognize(&monitor) == 0 && !Cancelled(monitor.cancel_this, 0)) {
        const std::unique_ptr<tesseract::ResultIterator> it(text_->GetIterator());
        text = ReadRecognisedLayout(it.get(), &words);
    }
    text_->Clear();
    if (straight.pix) {
        TurnTextBackFromStraight(text, straight, pixGetWidth(pix), pixGetHeight(pix));
        TurnWordsBackFromStraight(words, straight, pixGetWidth(pix), pixGetHeight(pix));
    }
    if (turns != 0)
        TurnPageTextBack(text, turns, pixGetWidth(pix), pixGetHeight(pix));
    if (straighten_)
        text.turn = StraighteningTurn(skew);
    ScalePageText(text, picture.scale);
    if (record) {
        // At a reduced decoding scale, and turned corners, a box may reach past the picture's edge.
        const double width = words.width > 0 ? words.width : INFINITY,
                     height = words.height > 0 ? words.height : INFINITY;
        MapPageWords(words, [&](double& x, double& y) {
            x = std::clamp(x * picture.scale, 0.0, width);
            y = std::clamp(y * picture.scale, 0.0, height);
        });
        *record = std::move(words);
    }
    return text;
}

}  // namespace ocr
