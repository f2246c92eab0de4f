// SPDX-License-Identifier: GPL-2.0-or-later
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "InkShare.h"

namespace ink {

namespace {

// The grey level of ink as scanners see black print and handwriting.
constexpr int kInkLevel = 0;
// A pixel less than this much darker than the paper around it is paper: the scanner's noise, the
// grain of the paper, JPEG's ringing. At a larger scale a pixel stands for fewer full-size pixels,
// so it must be darker still: at full size as dark as the threshold itself, so a faint mark (a
// show-through, a pale stain) that is nowhere darker than the threshold counts at no scale.
constexpr int kPaperNoise = 16;
// The paper around a pixel: the lightest level within this share of the page's shorter side
// either way (about 2 mm on A4), wider than a stroke of text so the paper beside it is seen.
constexpr double kPaperReach = 0.008;

// The largest of each window of 2 * reach + 1 samples centred on each of `count` samples, `step`
// apart from `first`, into out[0 .. count) (van Herk's running maximum: three comparisons a sample
// whatever the reach).
void RunningMax(const uint8_t* first, size_t step, int count, int reach, uint8_t* out, std::vector<uint8_t>& ahead,
                std::vector<uint8_t>& behind)
{
    const int span = 2 * reach + 1;
    const int padded = count + 2 * reach;
    ahead.assign(static_cast<size_t>(padded), 0);
    behind.assign(static_cast<size_t>(padded), 0);
    const auto at = [&](int i) -> uint8_t {
        const int k = i - reach;
        return k < 0 || k >= count ? 0 : first[static_cast<size_t>(k) * step];
    };
    for (int i = 0; i < padded; ++i)
        ahead[size_t(i)] = i % span == 0 ? at(i) : std::max(ahead[size_t(i - 1)], at(i));
    for (int i = padded - 1; i >= 0; --i)
        behind[size_t(i)] = i % span == span - 1 || i == padded - 1 ? at(i) : std::max(behind[size_t(i + 1)], at(i));
    for (int k = 0; k < count; ++k)
        out[size_t(k)] = std::max(behind[size_t(k)], ahead[size_t(k + span - 1)]);
}

}  // namespace

double InkPercentOfPlane(const std::vector<uint8_t>& plane, int width, int height, int eighths)
{
    if (width <= 0 || height <= 0 || plane.size() < size_t(width) * size_t(height))
        return 0;
    const int left = static_cast<int>(std::lround(width * 0.01));
    const int top = static_cast<int>(std::lround(height * 0.01));
    const int inner = width - 2 * left, tall = height - 2 * top;
    if (inner <= 0 || tall <= 0)
        return 0;
    const int reach = std::max(1, static_cast<int>(std::lround(kPaperReach * std::min(width, height))));
    std::vector<uint8_t> paper(plane.size()), ahead, behind;
    for (int y = 0; y < height; ++y)
        RunningMax(plane.data() + size_t(y) * size_t(width), 1, width, reach, paper.data() + size_t(y) * size_t(width),
                   ahead, behind);
    std::vector<uint8_t> column(static_cast<size_t>(height));
    for (int x = 0; x < width; ++x) {
        RunningMax(paper.data() + x, size_t(width), height, reach, column.data(), ahead, behind);
        for (int y = 0; y < height; ++y)
            paper[size_t(y) * size_t(width) + size_t(x)] = column[size_t(y)];
    }
    double ink = 0;
    for (int y = top; y < top + tall; ++y) {
        const uint8_t* row = plane.data() + size_t(y) * size_t(width);
        const uint8_t* around = paper.data() + size_t(y) * size_t(width);
        for (int x = left; x < left + inner; ++x) {
            const int level = row[x], light = around[x];
            if (light < kInkThreshold)
                ink += level < kInkThreshold ? 1 : 0;  // a dark area: each pixel of it is ink or not
            else if (light - level > std::max(kPaperNoise, (light - kInkThreshold) * eighths / 8))
                ink += std::min(1.0, double(light - level) / double(light - kInkLevel));
        }
    }
    return 100.0 * ink / (double(inner) * double(tall));
}

}  // namespace ink
