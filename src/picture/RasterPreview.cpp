// SPDX-License-Identifier: GPL-2.0-or-later
#include "RasterPreview.h"

#include "FitPicture.h"
#include "PictureError.h"
#include "QuietLibraryOutput.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// An icon holds several sizes; the largest one scales down best.
int LargestImageIndex(QImageReader& reader)
{
    int best = 0;
    qint64 bestArea = -1;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QSize size = reader.size();
        const qint64 area = static_cast<qint64>(size.width()) * size.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best;
}

} // namespace

QImage RenderRasterPreview(const QByteArray& bytes, const char* format, QSize area, const char* invalidMessage)
{
    QImage picture;
    {
        QuietLibraryOutput quiet; // Qt's readers warn about damaged files on their own
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setDecideFormatFromContent(false);
        reader.setAutoTransform(false);
        if (reader.imageCount() > 1) {
            const int index = LargestImageIndex(reader);
            buffer.seek(0);
            QImageReader chosen(&buffer, format);
            chosen.setDecideFormatFromContent(false);
            chosen.jumpToImage(index);
            picture = chosen.read();
        } else {
            picture = reader.read();
        }
    }
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        throw PictureError(invalidMessage);

    const QSize drawn = FitPictureSize(picture.size(), area).expandedTo(QSize(1, 1));
    const QImage::Format target = picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return picture.convertToFormat(target).scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
