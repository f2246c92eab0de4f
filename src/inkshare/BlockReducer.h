// SPDX-License-Identifier: GPL-2.0-or-later
// Full-size grey rows in, block means out, as libjpeg reduces a JPEG: a picture read row by row is
// reduced without ever being held whole.
#pragma once

#include <cstdint>
#include <vector>

#include "PngRows.h"

namespace ink {

class BlockReducer {
public:
    // `eighths` / 8 of `width` x `height` (1, 2, 4 or 8), rounded up as libjpeg rounds.
    BlockReducer(uint32_t width, uint32_t height, int eighths, ReducedPlane& plane);

    // The next full-size row, `width` grey samples.
    void Add(const uint8_t* row);

private:
    uint32_t width_, height_, factor_, y_ = 0;
    ReducedPlane& plane_;
    std::vector<uint32_t> sums_;
};

}  // namespace ink
