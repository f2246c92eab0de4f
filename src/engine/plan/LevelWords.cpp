// SPDX-License-Identifier: GPL-2.0-or-later
#include "LevelWords.h"

#include <algorithm>
#include <cmath>

namespace jpeg2pdf {

namespace {

// Poppler keeps words in one line only while their baselines lie within half the font size of
// each other (measured: a band of 0.5 already loses words); steeper lines have their raises drawn
// together about their middle to fit, which keeps the words' order along the slope and leaves
// each word's box at most (drift - band) / 2 off its word.
constexpr double kBand = 0.4;

void KeepWithinBand(std::vector<LevelWord>& words, double height)
{
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const LevelWord& word : words) {
        if (std::isfinite(word.raise))
            low = std::min(low, word.raise), high = std::max(high, word.raise);
    }
    const double band = kBand * height;
    if (!(high - low > band))
        return;
    const double middle = (low + high) / 2, squeeze = band / (high - low);
    for (LevelWord& word : words)
        word.raise = middle + (word.raise - middle) * squeeze;
}

}  // namespace

LevelLine SetLevel(const TextLine& line)
{
    double dx = line.x1 - line.x0, dy = line.y1 - line.y0;
    const double length = std::hypot(dx, dy);
    if (length > 0 && std::isfinite(length))
        dx /= length, dy /= length;
    else
        dx = 1, dy = 0;
    LevelLine level;
    if (std::abs(dx) >= std::abs(dy))
        level.axisX = dx < 0 ? -1 : 1, level.axisY = 0;
    else
        level.axisX = 0, level.axisY = dy < 0 ? -1 : 1;
    // The baseline's unit step, seen along the axis and up from it.
    const double along = dx * level.axisX + dy * level.axisY;
    const double up = dx * level.axisY - dy * level.axisX;
    for (const TextWord& word : line.words)
        level.words.push_back({word.start * along, word.end * along, (word.start + word.end) / 2 * up});
    KeepWithinBand(level.words, line.height);
    return level;
}

}  // namespace jpeg2pdf
