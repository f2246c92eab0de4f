// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageRows.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "ImageForm.h"

namespace extract {

RowPipeline::RowPipeline(int64_t rowBytes, int64_t rows, std::function<bool(const uint8_t*)> take)
    : Pipeline("rows", nullptr), row_(static_cast<size_t>(rowBytes)), rows_(rows), take_(std::move(take))
{
}

void RowPipeline::write(const unsigned char* data, size_t size)
{
    while (size > 0) {
        if (stopped_ || handed_ == rows_) {
            stopped_ = true;
            throw std::runtime_error("the rows are read");
        }
        const size_t n = std::min(size, row_.size() - filled_);
        std::memcpy(row_.data() + filled_, data, n);
        filled_ += n, data += n, size -= n;
        if (filled_ == row_.size()) {
            filled_ = 0;
            ++handed_;
            if (!take_(row_.data())) {
                stopped_ = true;
                throw std::runtime_error("stopped");
            }
        }
    }
}

PipeOutcome HoldRows(const PdfPictures& document, QPDFObjectHandle stream, int64_t rowBytes, int64_t rows,
                     std::vector<uint8_t>& held)
{
    if (rowBytes > kMostHeldBytes / std::max<int64_t>(rows, 1))
        return PipeOutcome::TooLarge;
    held.resize(static_cast<size_t>(rowBytes * rows));
    uint8_t* next = held.data();
    RowPipeline pipeline(rowBytes, rows, [&](const uint8_t* row) {
        next = std::copy_n(row, rowBytes, next);
        return true;
    });
    document.PipeStream(stream, pipeline, true, pipeline.Stopped());
    return pipeline.Whole() ? PipeOutcome::Piped : PipeOutcome::Unreadable;
}

void UnpackSamples(const uint8_t* row, int64_t count, int depth, uint16_t* samples)
{
    if (depth == 16) {
        for (int64_t i = 0; i < count; ++i)
            samples[i] = static_cast<uint16_t>(row[2 * i] << 8 | row[2 * i + 1]);
    } else if (depth == 8) {
        std::copy_n(row, count, samples);
    } else {
        const int perByte = 8 / depth, mask = (1 << depth) - 1;
        for (int64_t i = 0; i < count; ++i) {
            const int shift = 8 - depth * (1 + static_cast<int>(i % perByte));
            samples[i] = static_cast<uint16_t>((row[i / perByte] >> shift) & mask);
        }
    }
}

}  // namespace extract
