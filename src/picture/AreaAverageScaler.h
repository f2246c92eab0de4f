// SPDX-License-Identifier: GPL-2.0-or-later
// Shrinks a picture that arrives one grey or RGB row at a time, so the full-size rows are never held
// at once.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

class AreaAverageScaler {
public:
    // Each output pixel becomes the average of the block of source pixels that maps onto it.
    // The target must be Format_RGB32 and no larger than the source in either direction;
    // rows that never arrive keep the target's prior contents. `components` is 1 (grey) or 3 (RGB).
    AreaAverageScaler(int sourceWidth, int sourceHeight, int components, QImage* target);

    // One source row of sourceWidth pixels of `components` samples each, top to bottom.
    void AddRow(const uint8_t* samples) noexcept;
    // Writes out the last band of rows; call once after the last AddRow.
    void Finish() noexcept;

private:
    void FlushBand() noexcept;

    int sourceWidth_;
    int sourceHeight_;
    int components_;
    QImage* target_;
    std::vector<int> columnOf_;         // output column of each source column
    std::vector<uint32_t> columnCount_; // source columns per output column
    std::vector<uint64_t> sums_;        // R, G, B sums per output column for the current band
    int sourceRow_ = 0;
    int bandRow_ = -1;                  // output row the current band belongs to
    uint32_t bandRows_ = 0;
};
