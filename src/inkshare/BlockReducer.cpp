// SPDX-License-Identifier: GPL-2.0-or-later
#include "BlockReducer.h"

#include <algorithm>

namespace ink {

BlockReducer::BlockReducer(uint32_t width, uint32_t height, int eighths, ReducedPlane& plane)
    : width_(width), height_(height), factor_(uint32_t(8 / eighths)), plane_(plane)
{
    plane.width = static_cast<int>((width + factor_ - 1) / factor_);
    plane.height = static_cast<int>((height + factor_ - 1) / factor_);
    plane.samples.assign(size_t(plane.width) * size_t(plane.height), 0);
    sums_.assign(size_t(plane.width), 0);
}

void BlockReducer::Add(const uint8_t* row)
{
    if (y_ >= height_)
        return;
    for (uint32_t x = 0; x < width_; ++x)
        sums_[x / factor_] += row[x];
    const uint32_t y = y_++;
    if ((y + 1) % factor_ != 0 && y + 1 != height_)
        return;
    const uint32_t rows = y % factor_ + 1;
    uint8_t* out = plane_.samples.data() + size_t(y / factor_) * size_t(plane_.width);
    for (int bx = 0; bx < plane_.width; ++bx) {
        const uint32_t columns = std::min<uint32_t>(factor_, width_ - uint32_t(bx) * factor_);
        out[bx] = static_cast<uint8_t>((sums_[size_t(bx)] + rows * columns / 2) / (rows * columns));
    }
    sums_.assign(size_t(plane_.width), 0);
}

}  // namespace ink
