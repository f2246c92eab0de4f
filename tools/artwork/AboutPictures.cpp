// SPDX-License-Identifier: GPL-2.0-or-later
#include "Artwork.h"
#include "Painting.h"

#include <QFont>
#include <QPainterPath>

namespace art {

namespace {

// A gold band along the inside of `outer`: light from the top-left, a dark hairline on both edges.
void GoldRim(QPainter& painter, const QRectF& outer, qreal width, qreal radius)
{
    QPainterPath rim;
    rim.addRoundedRect(outer, radius, radius);
    QPainterPath hole;
    const qreal inner = std::max(1.0, radius - width);
    hole.addRoundedRect(outer.adjusted(width, width, -width, -width), inner, inner);
    rim = rim.subtracted(hole);

    QLinearGradient light(outer.topLeft(), outer.bottomRight());
    light.setColorAt(0.0, kGoldLight);
    light.setColorAt(0.45, kGold);
    light.setColorAt(1.0, kGoldDark);
    painter.setPen(QPen(kGoldDark.darker(130), 1));
    painter.setBrush(light);
    painter.drawPath(rim);

    // A bright bevel line down the middle of the band gives it some relief.
    painter.setPen(QPen(QColor(255, 245, 200, 150), 1));
    painter.setBrush(Qt::NoBrush);
    const qreal mid = width / 2;
    painter.drawRoundedRect(outer.adjusted(mid, mid, -mid, -mid), radius - mid, radius - mid);
}

}  // namespace

QImage CloseBadge(qreal scale)
{
    return Painted(48, 48, scale, [](QPainter& painter) {
        const QRectF outer(1, 1, 46, 46);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Vertical(outer, QColor(110, 205, 100), kGreenDark));
        painter.drawRoundedRect(outer.adjusted(2, 2, -2, -2), 8, 8);
        GoldRim(painter, outer, 4, 10);

        painter.setPen(QPen(QColor(0, 60, 0, 90), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath check;
        check.moveTo(13, 25);
        check.lineTo(21, 33);
        check.lineTo(35, 16);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(check.translated(1, 1.5));
        painter.setPen(QPen(Qt::white, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(check);
    });
}

QImage GoldFrame(qreal scale)
{
    return Painted(155, 115, scale, [](QPainter& painter) {
        GoldRim(painter, QRectF(0.5, 0.5, 154, 114), 9, 14);
    });
}

QImage FramedPicture(qreal scale)
{
    QImage image(qRound(147 * scale), qRound(110 * scale), QImage::Format_RGB32);
    QPainter painter(&image);
    Prepare(painter, scale);
    const QRectF all(0, 0, 147, 110);
    painter.fillRect(all, Vertical(all, QColor(70, 140, 225), QColor(200, 230, 250)));

    // Evening sun and two hills, the same landscape the glyphs carry.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 225, 110, 90));
    painter.drawEllipse(QPointF(112, 30), 20, 20);
    painter.setBrush(QColor(255, 205, 40));
    painter.drawEllipse(QPointF(112, 30), 12, 12);

    QPainterPath far;
    far.moveTo(0, 110);
    far.lineTo(0, 62);
    far.quadTo(40, 30, 90, 72);
    far.lineTo(147, 110);
    far.closeSubpath();
    painter.setBrush(QColor(70, 150, 80));
    painter.drawPath(far);
    QPainterPath near;
    near.moveTo(0, 110);
    near.quadTo(90, 55, 147, 78);
    near.lineTo(147, 110);
    near.closeSubpath();
    painter.setBrush(Vertical(QRectF(0, 55, 147, 55), QColor(130, 205, 95), QColor(40, 120, 45)));
    painter.drawPath(near);

    // The leaf from the application icon, resting on the hill.
    Leaf(painter, QPointF(22, 86), 46, -28);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    const QRectF caption(0, 84, 147, 22);
    painter.setPen(QColor(0, 40, 0, 120));
    painter.drawText(caption.translated(1, 1), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("leafbind  "));
    painter.setPen(Qt::white);
    painter.drawText(caption, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("leafbind  "));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage AppIcon(qreal scale)
{
    return Painted(256, 256, scale, [](QPainter& painter) {
        // A second page peeking out behind the first: several photographs, one document.
        painter.save();
        painter.translate(128, 128);
        painter.rotate(8);
        painter.translate(-128, -128);
        Sheet(painter, QRectF(76, 20, 146, 196), 40);
        painter.restore();
        Sheet(painter, QRectF(60, 30, 150, 196), 40);
        Photo(painter, QRectF(76, 78, 118, 92), 8);

        const QRectF band(76, 182, 118, 30);
        PdfBand(painter, band, band, 3, 6, 24);

        // The leaf that binds the pages.
        Leaf(painter, QPointF(12, 246), 104, -66);
    });
}

}  // namespace art
