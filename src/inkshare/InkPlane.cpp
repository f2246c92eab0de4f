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

// Each sample's largest neighbour within `reach` samples either way, along rows and then down
// columns, with the window cut at the plane's edges. Both passes run along rows of memory, one
// shift of the window at a time, which the compiler turns into vector instructions.
std::vector<uint8_t> LightestAround(const std::vector<uint8_t>& plane, int width, int height, int reach)
{
    const size_t w = size_t(width);
    std::vector<uint8_t> across(plane);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = plane.data() + size_t(y) * w;
        uint8_t* out = across.data() + size_t(y) * w;
        for (int shift = 1; shift <= reach && shift < width; ++shift) {
            const size_t s = size_t(shift);
            for (size_t x = 0; x + s < w; ++x)
                out[x] = std::max(out[x], in[x + s]);
            for (size_t x = s; x < w; ++x)
                out[x] = std::max(out[x], in[x - s]);
        }
    }
    std::vector<uint8_t> around(across);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = around.data() + size_t(y) * w;
        for (int k = std::max(0, y - reach); k <= std::min(height - 1, y + reach); ++k) {
            const uint8_t* in = across.data() + size_t(k) * w;
            for (size_t x = 0; x < w; ++x)
                out[x] = std::max(out[x], in[x]);
        }
    }
    return around;
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
    const std::vector<uint8_t> paper = LightestAround(plane, width, height, reach);
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
