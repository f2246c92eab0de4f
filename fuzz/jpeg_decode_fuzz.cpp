// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes, from memory, to the shared JPEG decoder as the recogniser drives it: whole
// fractions of a budget, every row delivered to the end (padded where the data stops), the rest of
// the file checked. Each step succeeds or fails with a message; rows come in order, each as wide
// as promised, and all of them; nothing crashes, leaks or hangs. (The preview's way through the
// same decoder is preview_jpeg_fuzz.)
#include <cstddef>
#include <cstdint>

#include "JpegDecoder.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    jpegdecode::JpegDecoder decoder({.bytes = data, .size = size}, {.memoryLimit = 256L * 1024 * 1024});
    if (!decoder.ReadHeader() || !decoder.Start(jpegdecode::ScaleRule::Within(4e6, 4000))) {
        Check(!decoder.Failure().message.empty());
        return 0;
    }
    const jpegdecode::JpegOutput output = decoder.Output();
    Check(output.width > 0 && output.height > 0);
    Check(output.components == 1 || output.components == 3);
    Check(output.eighths == 1 || output.eighths == 2 || output.eighths == 4 || output.eighths == 8);
    // A header alone can promise 8,192 x 8,192 rows at 1/8, all padding: not worth the time here.
    if (static_cast<double>(output.width) * output.height > 16e6)
        return 0;
    const size_t rowBytes = static_cast<size_t>(output.width) * static_cast<size_t>(output.components);
    int rows = 0;
    volatile unsigned sum = 0;
    const bool read = decoder.ReadRows([&](int y, const uint8_t* samples) {
        Check(y == rows++);
        sum = sum + samples[0] + samples[rowBytes - 1];  // the whole promised width is there to read
    });
    if (read) {
        Check(rows == output.height);
        decoder.Finish();
    }
    Check(read || !decoder.Failure().message.empty());
    return 0;
}
