// SPDX-License-Identifier: GPL-2.0-or-later
// One progress line on a terminal, redrawn in place: pages written of N and the speed (or, for a
// document per folder, documents done of N and pages written). Drawn only
// once the export has run for half a second, so quick exports print nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace cli {

class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Writer = std::function<void(const std::string& text)>;

    // `enabled` false (not a terminal, or --quiet) makes every call a no-op.
    ProgressLine(bool enabled, Writer write, Clock clock = std::chrono::steady_clock::now);

    void Update(int pagesWritten, int pageCount, int64_t bytesWritten);
    // Pages are written as their text is recognised: the line counts recognised pages per second.
    void CountRecognisedPages() { recognised_ = true; }
    // Under --folders: documents finished of all, and the pages written in them so far.
    void UpdateDocuments(int documentsDone, int documentCount, int64_t pagesWritten);
    // Ends a drawn line with a line feed, so what follows starts on a line of its own.
    void Finish();

private:
    void Draw(std::chrono::steady_clock::time_point now, const std::string& text);

    bool enabled_;
    Writer write_;
    Clock clock_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_ {};
    bool drawn_ = false;
    size_t lastLength_ = 0;
    bool recognised_ = false;
};

}  // namespace cli
