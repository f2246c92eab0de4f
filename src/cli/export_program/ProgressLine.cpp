// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgressLine.h"

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

constexpr auto kQuietPeriod = std::chrono::milliseconds(500);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

ProgressLine::ProgressLine(bool enabled, Writer write, Clock clock)
    : enabled_(enabled), write_(std::move(write)), clock_(std::move(clock))
{
    if (enabled_)
        start_ = clock_();
}

void ProgressLine::Update(int pagesWritten, int pageCount, int64_t bytesWritten)
{
    if (!enabled_)
        return;
    const auto now = clock_();
    const bool last = pagesWritten == pageCount;
    if (now - start_ < kQuietPeriod || (drawn_ && !last && now - lastDrawn_ < kRedrawInterval))
        return;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    char text[96];
    const int length = recognised_
        ? std::snprintf(text, sizeof text, "%d of %d pages recognised, %.2f pages/s", pagesWritten, pageCount,
                        pagesWritten / seconds)
        : std::snprintf(text, sizeof text, "%d of %d pages, %.1f MB/s", pagesWritten, pageCount,
                        static_cast<double>(bytesWritten) / 1e6 / seconds);
    Draw(now, std::string(text, static_cast<size_t>(length)));
}

void ProgressLine::UpdateDocuments(int documentsDone, int documentCount, int64_t pagesWritten)
{
    if (!enabled_)
        return;
    const auto now = clock_();
    const bool last = documentsDone == documentCount;
    if (now - start_ < kQuietPeriod || (drawn_ && !last && now - lastDrawn_ < kRedrawInterval))
        return;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    char text[128];
    const int length = std::snprintf(text, sizeof text, "%d of %d documents, %lld pages, %.1f pages/s", documentsDone,
                                     documentCount, static_cast<long long>(pagesWritten), pagesWritten / seconds);
    Draw(now, std::string(text, static_cast<size_t>(std::max(length, 0))));
}

void ProgressLine::Draw(std::chrono::steady_clock::time_point now, const std::string& text)
{
    const size_t length = text.size();
    std::string line = "\r" + text;
    // Blanks over the rest of a longer previous line.
    if (lastLength_ > length)
        line.append(lastLength_ - length, ' ');
    write_(line);
    lastLength_ = length;
    lastDrawn_ = now;
    drawn_ = true;
}

void ProgressLine::Finish()
{
    if (drawn_)
        write_("\n");
    drawn_ = false;
}

}  // namespace cli
