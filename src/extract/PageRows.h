// SPDX-License-Identifier: GPL-2.0-or-later
// A picture's rows as libqpdf decodes them, handed on one whole row at a time, and a soft mask
// held whole beside them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <qpdf/Pipeline.hh>

#include "PdfPictures.h"

namespace extract {

// Gathers decoded bytes into rows of `rowBytes` and hands each to `take`, which returns false to
// stop. Once `rows` rows are handed on it stops the decoding (by throwing, which libqpdf turns
// into a failed read): what runs on past the last row is never decoded.
class RowPipeline : public Pipeline {
public:
    RowPipeline(int64_t rowBytes, int64_t rows, std::function<bool(const uint8_t* row)> take);
    void write(const unsigned char* data, size_t size) override;
    void finish() override { }

    bool Whole() const { return handed_ == rows_; }  // every row handed on
    const bool& Stopped() const { return stopped_; }  // stopped on purpose: whole, or `take` said so

private:
    std::vector<uint8_t> row_;
    size_t filled_ = 0;
    int64_t rows_, handed_ = 0;
    std::function<bool(const uint8_t*)> take_;
    bool stopped_ = false;
};

// `stream`'s rows of `rowBytes` decoded whole into `held`. TooLarge when they would pass
// kMostHeldBytes; Unreadable when there are fewer.
PipeOutcome HoldRows(const PdfPictures& document, QPDFObjectHandle stream, int64_t rowBytes, int64_t rows,
                     std::vector<uint8_t>& held);

// Splits a row of `count` samples of `depth` bits (1 to 16, packed from the high bit down, 16
// bits high byte first, as PDF and PNG pack them) into one value each.
void UnpackSamples(const uint8_t* row, int64_t count, int depth, uint16_t* samples);

}  // namespace extract
