// SPDX-License-Identifier: GPL-2.0-or-later
// The decoders the writer is handed for pages of decoded pixels, one per file format.
#pragma once

#include "PixelRows.h"
#include "TiffHandle.h"

namespace jpeg2pdf {

class PicturePixels final : public PixelSource {
public:
    std::unique_ptr<PixelRows> Open(const std::string& path, const ImageCoding& coding, const PixelFormat& format,
                                    EntryProblem& problem) override;

private:
    TiffFile tiff_;  // the last TIFF file decoded, kept open for its next page
};

}  // namespace jpeg2pdf
