// SPDX-License-Identifier: GPL-2.0-or-later
#include "PictureSignature.h"

#include "PictureKindSniffer.h"

namespace jpeg2pdf {

static_assert(kPictureSignatureBytes >= kSignatureBytes);

PictureKind PictureKindOfSignature(const uint8_t* firstBytes, size_t size) noexcept
{
    return KindFromSignature(firstBytes, size);
}

bool ExportTakesSignature(const uint8_t* firstBytes, size_t size) noexcept
{
    const PictureKind kind = KindFromSignature(firstBytes, size);
    return kind == PictureKind::Jpeg || kind == PictureKind::Png || kind == PictureKind::Tiff;
}

}  // namespace jpeg2pdf
