// SPDX-License-Identifier: GPL-2.0-or-later
#include "MetafilePreview.h"

#include "FitPicture.h"
#include "PictureError.h"
#include "QuietLibraryOutput.h"

#include <QPainter>
#include <QSvgRenderer>

QImage RenderSvgPreview(const QByteArray& svg, QSize area)
{
    QuietLibraryOutput quiet; // Qt SVG warns about every element it does not know
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw PictureError(kInvalidMetafile);
    QSize natural = renderer.defaultSize();
    if (natural.isEmpty())
        natural = renderer.viewBox().size();
    if (natural.isEmpty())
        throw PictureError(kInvalidMetafile);

    const QSize drawn = FitPictureSize(natural, area).expandedTo(QSize(1, 1));
    QImage picture(drawn, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        throw PictureError(kInvalidMetafile);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(drawn)));
    return picture;
}
