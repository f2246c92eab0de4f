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
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "RecognitionSource.h"

namespace ocr {

class PageRecogniser;

class RecognisedPages final : public RecognitionSource {
public:
    // With recognition, loads the language data for the first worker on the calling thread (see
    // LoadedLanguages). `lacking` is told about a page that comes back without all its text, as
    // its picture could not be decoded (whole), or null: `warn` is; `warn` about the rest worth
    // knowing (a page recognised as stored while its Exif orientation turns it).
    RecognisedPages(const OcrSettings& settings, std::string dataFolder, Warning warn, TurnNote noteTurn = {},
                    Warning lacking = {});
    // Stops the recognitions under way and waits for the workers.
    ~RecognisedPages() override;

    // What of the settings' languages (and "osd" with rotatePages) the first worker's recogniser
    // loaded: a language missing here cannot be used.
    std::vector<std::string> LoadedLanguages() const override;
    void KeepWords(WordsNote note) override { keepWords_ = std::move(note); }

    void Begin(const std::vector<jpeg2pdf::PageTextRequest>& pages) override;
    jpeg2pdf::PageText Take(int index) override;
    bool GivesWords() const override { return settings_.recognise; }

    // Pages taken so far that came back without all their text (not blank pages: pictures that
    // could not be decoded, or decoded only in part, or no language data).
    int PagesLackingText() const override { return lackingCount_; }

private:
    struct Result {
        jpeg2pdf::PageText text;
        PageWords words;
        std::string problem;  // why the page lacks text, for the user
    };

    void Work();
    Result Read(const jpeg2pdf::PageTextRequest& page, PageRecogniser* recogniser) const;

    OcrSettings settings_;
    std::string dataFolder_;
    Warning warn_;
    TurnNote noteTurn_;
    Warning lacking_;
    WordsNote keepWords_;
    int lackingCount_ = 0;
    std::unique_ptr<PageRecogniser> first_;  // loaded by the constructor, for the first worker
    std::vector<jpeg2pdf::PageTextRequest> pages_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Result> done_;  // recognised, not yet taken
    int claimed_ = 0;  // pages handed to workers so far, in list order
    int taken_ = 0;
    std::atomic<bool> stop_ {false};
    std::vector<std::thread> workers_;
};

}  // namespace ocr
