// SPDX-License-Identifier: GPL-2.0-or-later
// JPEG pictures for the preview: the shared decoder (src/jpegdecode) at the smallest DCT scale that
// still covers the drawn size, so a huge photograph costs little time and bounded memory, its rows
// averaged down to the drawn size as they arrive. A progressive picture at 1/8 scale (any whose
// coefficients exceed the limit) is read from its first DC scan alone.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdio>

// Decodes the JPEG read from file and returns it scaled to drawn size of area (see FitPictureSize,
// at least one pixel each way). Throws PictureError "JPEG error #<n>" with libjpeg's message number.
QImage DecodeJpegPreview(std::FILE* file, QSize area);

// The most memory libjpeg may take for one picture; beyond it the decoder reports an error (a
// progressive picture whose first scan is not a DC scan of every component, or a sequential one in
// separate scans per component, each of them past about 2 million blocks).
constexpr long kJpegPreviewMemoryLimit = 256L * 1024 * 1024;
