// SPDX-License-Identifier: GPL-2.0-or-later
#include "PicturePixels.h"

#include "PngPixels.h"
#include "TiffPixels.h"

namespace jpeg2pdf {

std::unique_ptr<PixelRows> PicturePixels::Open(const std::string& path, const ImageCoding& coding,
                                               const PixelFormat& format, EntryProblem& problem)
{
    switch (coding.source) {
    case PictureKind::Png:
        return OpenPngPixels(path, format, coding.palette, problem);
    case PictureKind::Tiff:
        return OpenTiffPixels(tiff_, path, coding, format, problem);
    default:
        break;
    }
    // Validation plans decoded pixels only for the formats decoded here.
    problem.refusal = EntryRefusal::PixelsDamaged;
    return nullptr;
}

}  // namespace jpeg2pdf
