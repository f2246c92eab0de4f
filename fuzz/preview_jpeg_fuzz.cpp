// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the JPEG preview decoder: it must throw PictureError or return a picture,
// never crash, leak or hang.
#include <cstdint>
#include <cstdio>

#include "JpegPreviewDecoder.h"
#include "PicturePreview.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0; // fmemopen refuses an empty buffer; an empty file is covered by the tests
    std::FILE* file = ::fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    try {
        const QImage picture = DecodeJpegPreview(file, QSize(80, 63));
        if (picture.isNull())
            __builtin_trap();
    } catch (const PictureError&) {
    }
    std::fclose(file);
    return 0;
}
