// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecognisedPages.h"

#include <leptonica/allheaders.h>
#include <omp.h>
#include <signal.h>

#include <algorithm>
#include <optional>

#include "PagePixels.h"
#include "PageRecogniser.h"
#include "PageSkew.h"

namespace ocr {

RecognisedPages::RecognisedPages(const OcrSettings& settings, std::string dataFolder, Warning warn,
                                 TurnNote noteTurn)
    : settings_(settings), dataFolder_(std::move(dataFolder)), warn_(std::move(warn)), noteTurn_(std::move(noteTurn))
{
    // The image library's notes ("max found at sweep edge" for a page turned past the search)
    // would break the command line's one-line messages.
    setMsgSeverity(L_SEVERITY_NONE);
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
    bool tellLoadFailure = false;
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
        tellLoadFailure = loadFailed_ && !loadFailureTold_;
        loadFailureTold_ = loadFailureTold_ || tellLoadFailure;
        changed_.notify_all();
    }
    if (warn_ && tellLoadFailure)
        warn_(pages_[size_t(index)].entry, "no text recognised: the language data cannot be loaded");
    else if (warn_ && !result.problem.empty())
        warn_(pages_[size_t(index)].entry, "no text recognised: " + result.problem);
    if (noteTurn_ && result.text.turn != 0)
        noteTurn_(pages_[size_t(index)].entry, result.text.turn);
    return std::move(result.text);
}

void RecognisedPages::Work()
{
    // One thread per recognition: the recogniser's OpenMP regions would otherwise add threads of
    // their own to every page and fight the other workers for the processors. The limit the
    // environment offers (OMP_THREAD_LIMIT) is read only when the library loads; no active levels
    // serialises every region from here on.
    omp_set_max_active_levels(0);
    // Measuring alone needs no recogniser and no language data.
    std::optional<PageRecogniser> recogniser;
    if (settings_.recognise)
        recogniser.emplace(dataFolder_, settings_, &stop_);
    const int window = 2 * std::max(settings_.jobs, 1);
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(mutex_);
            if (recogniser && !recogniser->Ready())
                loadFailed_ = true;
            changed_.wait(lock, [&] {
                return stop_ || claimed_ >= static_cast<int>(pages_.size()) || claimed_ < taken_ + window;
            });
            if (stop_ || claimed_ >= static_cast<int>(pages_.size()))
                return;
            index = claimed_++;
        }
        Result result = Read(pages_[size_t(index)], recogniser ? &*recogniser : nullptr);
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
            result.text.turn = StraighteningTurn(MeasureFileSkew(page.path, page.orientation));
        return result;
    }
    if (recogniser->Ready()) {
        const PagePixels picture = DecodePagePixels(page.path, page.orientation);
        result.problem = picture.error.empty() ? "" : "the picture cannot be decoded (" + picture.error + ")";
        result.text = recogniser->Recognise(picture);
    }
    return result;
}

}  // namespace ocr
