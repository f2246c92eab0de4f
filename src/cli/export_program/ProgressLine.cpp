// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgressLine.h"

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
    std::string line = "\r" + std::string(text, static_cast<size_t>(length));
    // Blanks over the rest of a longer previous line.
    if (lastLength_ > static_cast<size_t>(length))
        line.append(lastLength_ - static_cast<size_t>(length), ' ');
    write_(line);
    lastLength_ = static_cast<size_t>(length);
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
