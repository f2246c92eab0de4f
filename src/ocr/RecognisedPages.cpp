// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecognisedPages.h"

#include <leptonica/allheaders.h>
#include <omp.h>
#include <signal.h>

#include <algorithm>

#include "PagePixels.h"
#include "PageRecogniser.h"
#include "PageSkew.h"
#include "PageWarnings.h"

namespace ocr {

RecognisedPages::RecognisedPages(const OcrSettings& settings, std::string dataFolder, Warning warn,
                                 TurnNote noteTurn, Warning lacking)
    : settings_(settings), dataFolder_(std::move(dataFolder)), warn_(std::move(warn)), noteTurn_(std::move(noteTurn)),
      lacking_(std::move(lacking))
{
    // The image library's notes ("max found at sweep edge" for a page turned past the search)
    // would break the command line's one-line messages.
    setMsgSeverity(L_SEVERITY_NONE);
    if (!lacking_)
        lacking_ = warn_;
    // Loading the data is the check that it loads; the first worker starts with it loaded.
    if (settings_.recognise)
        first_ = std::make_unique<PageRecogniser>(dataFolder_, settings_, &stop_);
}

std::vector<std::string> RecognisedPages::LoadedLanguages() const
{
    return first_ ? first_->LoadedLanguages() : std::vector<std::string> {};
}

RecognisedPages::~RecognisedPages()
{
    stop_ = true;
    {
        const std::lock_guard lock(mutex_);
        changed_.notify_all();
    }
    for (std::thread& worker : workers_)
        worker.join();
}

void RecognisedPages::Begin(const std::vector<jpeg2pdf::PageTextRequest>& pages)
{
    pages_ = pages;
    const int count = std::min(std::max(settings_.jobs, 1), static_cast<int>(pages_.size()));
    // Interruptions are the main thread's to handle: it removes the unfinished output at once,
    // whatever page a worker is in the middle of.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    for (int i = 0; i < count; ++i)
        workers_.emplace_back(&RecognisedPages::Work, this);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

jpeg2pdf::PageText RecognisedPages::Take(int index)
{
    Result result;
    if (index < 0 || index >= static_cast<int>(pages_.size()))
        return {};
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done_.contains(index) || workers_.empty(); });
        if (auto found = done_.find(index); found != done_.end()) {
            result = std::move(found->second);
            done_.erase(found);
        }
        taken_ = std::max(taken_, index + 1);
        changed_.notify_all();
    }
    const jpeg2pdf::PageTextRequest& page = pages_[size_t(index)];
    // A file of several pages: which one the message is about.
    const std::string which = page.severalPages ? "page " + std::to_string(page.filePage + 1) + ": " : "";
    if (!result.problem.empty()) {
        ++lackingCount_;
        if (lacking_)
            lacking_(page.entry, which + result.problem);
    }
    if (const std::string unturned = UnturnedPictureWarning(page, settings_.rotatePages);
        warn_ && settings_.recognise && !unturned.empty())
        warn_(page.entry, which + unturned);
    if (keepWords_ && settings_.recognise)
        keepWords_(page, result.words);
    if (noteTurn_ && result.text.turn != 0)
        noteTurn_(page.entry, result.text.turn);
    return std::move(result.text);
}

void RecognisedPages::Work()
{
    // One thread per recognition: the recogniser's OpenMP regions would otherwise add threads of
    // their own to every page and fight the other workers for the processors. The limit the
    // environment offers (OMP_THREAD_LIMIT) is read only when the library loads; no active levels
    // serialises every region from here on.
    omp_set_max_active_levels(0);
    // Measuring alone needs no recogniser and no language data. The first worker takes the
    // recogniser the constructor loaded.
    std::unique_ptr<PageRecogniser> recogniser;
    if (settings_.recognise) {
        {
            const std::lock_guard lock(mutex_);
            recogniser = std::move(first_);
        }
        if (!recogniser)
            recogniser = std::make_unique<PageRecogniser>(dataFolder_, settings_, &stop_);
    }
    const int window = 2 * std::max(settings_.jobs, 1);
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] {
                return stop_ || claimed_ >= static_cast<int>(pages_.size()) || claimed_ < taken_ + window;
            });
            if (stop_ || claimed_ >= static_cast<int>(pages_.size()))
                return;
            index = claimed_++;
        }
        Result result = Read(pages_[size_t(index)], recogniser.get());
        const std::lock_guard lock(mutex_);
        done_.emplace(index, std::move(result));
        changed_.notify_all();
    }
}

RecognisedPages::Result RecognisedPages::Read(const jpeg2pdf::PageTextRequest& page, PageRecogniser* recogniser) const
{
    Result result;
    if (!recogniser) {
        // Rows from the top at a reduced scale: a fraction of what decoding the page would cost.
        if (settings_.straighten)
            result.text.turn = StraighteningTurn(MeasureFileSkew(page.path, page.orientation, page.directory));
        return result;
    }
    if (recogniser->Ready()) {
        const PagePixels picture = DecodePagePixels(page.path, page.orientation, page.directory);
        result.problem = DecodingProblem(picture);
        result.text = recogniser->Recognise(picture, &result.words);
    } else {
        result.problem = "no text recognised: the language data cannot be loaded";
    }
    return result;
}

}  // namespace ocr
