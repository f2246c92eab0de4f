// SPDX-License-Identifier: GPL-2.0-or-later
#include "InkToRgb.h"

namespace jpegdecode {

void InkRowToRgb(std::uint8_t* row, int width, bool inverted) noexcept
{
    // Each pixel's RGB lands at or before its own CMYK, which is read in full first.
    const int flip = inverted ? 0 : 255;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* in = row + static_cast<long>(x) * 4;
        const int c = in[0] ^ flip, m = in[1] ^ flip, y = in[2] ^ flip, k = in[3] ^ flip;
        std::uint8_t* out = row + static_cast<long>(x) * 3;
        out[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
    }
}

}  // namespace jpegdecode
