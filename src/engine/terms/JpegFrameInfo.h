// SPDX-License-Identifier: GPL-2.0-or-later
// What the frame header of a JPEG file says of its picture.
#pragma once

#include <cstdint>

namespace jpeg2pdf {

// What the frame header says about one JPEG file.
struct JpegFrameInfo {
    bool IsCmyk;     // false: 3 components (RGB); true: 4 components (CMYK)
    int32_t Width;   // samples per line, 0 to 65535
    int32_t Height;  // number of lines, 0 to 65535
};

}  // namespace jpeg2pdf
