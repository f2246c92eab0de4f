// SPDX-License-Identifier: GPL-2.0-or-later
#include "AreaAverageScaler.h"

namespace {

int OutputIndex(int sourceIndex, int sourceSize, int outputSize)
{
    return static_cast<int>(static_cast<int64_t>(sourceIndex) * outputSize / sourceSize);
}

} // namespace

AreaAverageScaler::AreaAverageScaler(int sourceWidth, int sourceHeight, int components, QImage* target)
    : sourceWidth_(sourceWidth), sourceHeight_(sourceHeight), components_(components), target_(target),
      columnOf_(static_cast<size_t>(sourceWidth)), columnCount_(static_cast<size_t>(target->width())),
      sums_(static_cast<size_t>(target->width()) * 3)
{
    for (int x = 0; x < sourceWidth; ++x) {
        columnOf_[static_cast<size_t>(x)] = OutputIndex(x, sourceWidth, target->width());
        ++columnCount_[static_cast<size_t>(columnOf_[static_cast<size_t>(x)])];
    }
}

void AreaAverageScaler::AddRow(const uint8_t* samples) noexcept
{
    if (sourceRow_ >= sourceHeight_)
        return;
    const int outputRow = OutputIndex(sourceRow_++, sourceHeight_, target_->height());
    if (outputRow != bandRow_) {
        FlushBand();
        bandRow_ = outputRow;
    }
    uint64_t* sums = sums_.data();
    const int* columnOf = columnOf_.data();
    if (components_ == 1) {
        for (int x = 0; x < sourceWidth_; ++x) {
            uint64_t* sum = sums + static_cast<size_t>(columnOf[x]) * 3;
            sum[0] += samples[x];
        }
    } else {
        for (int x = 0; x < sourceWidth_; ++x, samples += 3) {
            uint64_t* sum = sums + static_cast<size_t>(columnOf[x]) * 3;
            sum[0] += samples[0];
            sum[1] += samples[1];
            sum[2] += samples[2];
        }
    }
    ++bandRows_;
}

void AreaAverageScaler::Finish() noexcept
{
    FlushBand();
}

void AreaAverageScaler::FlushBand() noexcept
{
    if (bandRow_ < 0 || bandRows_ == 0)
        return;
    auto* line = reinterpret_cast<QRgb*>(target_->scanLine(bandRow_));
    for (int x = 0; x < target_->width(); ++x) {
        const uint64_t count = static_cast<uint64_t>(columnCount_[static_cast<size_t>(x)]) * bandRows_;
        uint64_t* sum = &sums_[static_cast<size_t>(x) * 3];
        if (components_ == 1)
            sum[1] = sum[2] = sum[0];  // grey: one sum stands for all three
        line[x] = qRgb(static_cast<int>((sum[0] + count / 2) / count),
                       static_cast<int>((sum[1] + count / 2) / count),
                       static_cast<int>((sum[2] + count / 2) / count));
        sum[0] = sum[1] = sum[2] = 0;
    }
    bandRows_ = 0;
}
