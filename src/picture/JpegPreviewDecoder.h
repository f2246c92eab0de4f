// SPDX-License-Identifier: GPL-2.0-or-later
// JPEG pictures for the preview, decoded with libjpeg at the smallest DCT scale that still covers
// the drawn size, so a huge photograph costs little time and bounded memory.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdio>

// Decodes the JPEG read from file and returns it scaled to drawn size of area (see FitPictureSize,
// at least one pixel each way). Throws PictureError "JPEG error #<n>" with libjpeg's message number.
QImage DecodeJpegPreview(std::FILE* file, QSize area);

// The most memory the decoder may take for one picture; beyond it the decoder reports an error.
constexpr long kJpegPreviewMemoryLimit = 256L * 1024 * 1024;
