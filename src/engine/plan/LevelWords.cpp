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

// Poppler starts a line at its highest word and gathers words only to the right of it, so a line
// that climbs towards its end came apart word by word (full-width lines of a page turned a degree
// counter-clockwise: 40 % of the words in order). Its first word is therefore set at most this
// much of the line's height below the highest (0.3 is already too low), and the words after it,
// all within the band, join it.
constexpr double kStartBelowTop = 0.15;

void StartAtTheTop(std::vector<LevelWord>& words, double height)
{
    if (words.size() < 2 || !std::isfinite(words.front().raise))
        return;
    double highest = words.front().raise;
    for (const LevelWord& word : words) {
        if (std::isfinite(word.raise))
            highest = std::max(highest, word.raise);
    }
    words.front().raise = std::max(words.front().raise, highest - kStartBelowTop * height);
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
    StartAtTheTop(level.words, line.height);
    return level;
}

}  // namespace jpeg2pdf
