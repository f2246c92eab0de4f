// SPDX-License-Identifier: GPL-2.0-or-later
// The command line's page text source: pages are recognised (or, without recognition, measured
// for straightening) ahead of the writer on worker threads,
// at most `jobs` at once, each on one thread, and handed out in list order. At most 2 x jobs pages
// are claimed beyond the last one taken, so memory depends on the number of jobs, not on the
// length of the list; the words of a page do not depend on which worker read it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "OcrSettings.h"
#include "PageText.h"

namespace ocr {

class PageRecogniser;

class RecognisedPages final : public jpeg2pdf::PageTextSource {
public:
    // Told, on the thread that calls Take, about a page that comes back without text because its
    // picture could not be read.
    using Warning = std::function<void(int entry, const std::string& text)>;

    // Told, on the thread that calls Take, how far a page is turned to straighten it.
    using TurnNote = std::function<void(int entry, double turn)>;

    RecognisedPages(const OcrSettings& settings, std::string dataFolder, Warning warn, TurnNote noteTurn = {});
    // Stops the recognitions under way and waits for the workers.
    ~RecognisedPages() override;

    void Begin(const std::vector<jpeg2pdf::PageTextRequest>& pages) override;
    jpeg2pdf::PageText Take(int index) override;
    bool GivesWords() const override { return settings_.recognise; }

private:
    struct Result {
        jpeg2pdf::PageText text;
        std::string problem;  // why the page has no text, for the user
    };

    void Work();
    Result Read(const jpeg2pdf::PageTextRequest& page, PageRecogniser* recogniser) const;

    OcrSettings settings_;
    std::string dataFolder_;
    Warning warn_;
    TurnNote noteTurn_;
    std::vector<jpeg2pdf::PageTextRequest> pages_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Result> done_;  // recognised, not yet taken
    int claimed_ = 0;  // pages handed to workers so far, in list order
    int taken_ = 0;
    bool loadFailed_ = false;
    bool loadFailureTold_ = false;
    std::atomic<bool> stop_ {false};
    std::vector<std::thread> workers_;
};

}  // namespace ocr
