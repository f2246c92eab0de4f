// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegPreviewDecoder.h"

#include <string>

#include "AreaAverageScaler.h"
#include "FitPicture.h"
#include "JpegDecoder.h"
#include "PictureError.h"

namespace {

[[noreturn]] void ThrowJpegError(int code)
{
    throw PictureError("JPEG error #" + std::to_string(code));
}

}  // namespace

QImage DecodeJpegPreview(std::FILE* file, QSize area)
{
    // A cut-off file stops at its end rather than decode padding: the rest stays the fill below.
    jpegdecode::JpegDecoder decoder({.file = file}, {.memoryLimit = kJpegPreviewMemoryLimit, .stopAtDataEnd = true});
    if (!decoder.ReadHeader())
        ThrowJpegError(decoder.Failure().code);
    const QSize picture(decoder.Header().width, decoder.Header().height);
    const QSize drawn = FitPictureSize(picture, area).expandedTo(QSize(1, 1));
    if (!decoder.Start(jpegdecode::ScaleRule::Covering(drawn.width(), drawn.height())))
        ThrowJpegError(decoder.Failure().code);

    // Shrink while decoding; a picture smaller than the drawn size is enlarged afterwards.
    const jpegdecode::JpegOutput& output = decoder.Output();
    QImage shrunk(drawn.boundedTo(QSize(output.width, output.height)), QImage::Format_RGB32);
    if (shrunk.isNull())
        ThrowJpegError(jpegdecode::kJpegOutOfMemory);
    shrunk.fill(QColor(128, 128, 128)); // what libjpeg shows for data missing from a cut-off file
    AreaAverageScaler scaler(output.width, output.height, output.components, &shrunk);
    if (!decoder.ReadRows([&scaler](int, const uint8_t* samples) { scaler.AddRow(samples); }))
        ThrowJpegError(decoder.Failure().code);
    scaler.Finish();

    if (shrunk.size() == drawn)
        return shrunk;
    return shrunk.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
