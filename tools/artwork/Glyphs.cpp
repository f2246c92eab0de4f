// SPDX-License-Identifier: GPL-2.0-or-later
#include "Artwork.h"
#include "Painting.h"

#include <QFont>
#include <QPainterPath>

namespace art {

namespace {

constexpr int kGlyph = 32;

// The photograph the list commands act on, leaving the bottom-right corner for a badge.
void ListPhoto(QPainter& painter)
{
    Photo(painter, QRectF(2.5, 4.5, 24, 19), 2.5);
}

}  // namespace

QImage AddGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        ListPhoto(painter);
        SignBadge(painter, QPointF(23, 23), 7.5, kGreen, true);
    });
}

QImage RemoveGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        ListPhoto(painter);
        SignBadge(painter, QPointF(23, 23), 7.5, kRed, false);
    });
}

QImage CreateGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        Sheet(painter, QRectF(5.5, 1.5, 21, 29), 6);
        Photo(painter, QRectF(8.5, 8.5, 15, 11), 1.5);

        const QRectF band(3.5, 20.5, 25, 9);
        PdfBand(painter, band, band.adjusted(0, 0, 0, 0.5), 1, 1.5, 8);
    });
}

QImage ClearGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {

        // Sweep marks left behind the eraser.
        painter.setPen(QPen(QColor(150, 160, 175), 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(3, 28.5), QPointF(13, 28.5));
        painter.drawLine(QPointF(6, 25.5), QPointF(11, 25.5));

        painter.translate(18, 15);
        painter.rotate(-40);
        const QRectF rubber(-13, -6, 11, 12);
        const QRectF sleeve(-2, -6, 15, 12);
        painter.setPen(QPen(kOutline, 1));
        painter.setBrush(Vertical(rubber, QColor(255, 190, 200), QColor(235, 120, 140)));
        painter.drawRoundedRect(rubber, 2, 2);
        painter.setBrush(Vertical(sleeve, QColor(110, 170, 240), kBlue));
        painter.drawRoundedRect(sleeve, 2, 2);
        painter.setPen(QPen(QColor(255, 255, 255, 150), 1));
        painter.drawLine(QPointF(1, -3.5), QPointF(11, -3.5));
    });
}

QImage SaveGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        QPainterPath disk;
        disk.moveTo(3.5, 5.5);
        disk.quadTo(3.5, 3.5, 5.5, 3.5);
        disk.lineTo(24.5, 3.5);
        disk.lineTo(28.5, 7.5);
        disk.lineTo(28.5, 26.5);
        disk.quadTo(28.5, 28.5, 26.5, 28.5);
        disk.lineTo(5.5, 28.5);
        disk.quadTo(3.5, 28.5, 3.5, 26.5);
        disk.closeSubpath();
        painter.setPen(QPen(kOutline, 1));
        painter.setBrush(Vertical(QRectF(3, 3, 26, 26), QColor(90, 150, 230), QColor(30, 80, 160)));
        painter.drawPath(disk);

        const QRectF shutter(9.5, 3.5, 13, 9);
        painter.setBrush(Vertical(shutter, QColor(235, 238, 242), QColor(170, 178, 190)));
        painter.drawRect(shutter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(60, 70, 90));
        painter.drawRect(QRectF(17, 5, 3, 6));

        const QRectF label(7.5, 16.5, 17, 12);
        painter.setPen(QPen(kOutline, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(label);
        painter.setPen(QPen(QColor(150, 170, 200), 1));
        painter.drawLine(QPointF(10, 20.5), QPointF(22, 20.5));
        painter.drawLine(QPointF(10, 24.5), QPointF(22, 24.5));
    });
}

QImage LoadGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        const QColor amber(240, 190, 70);

        QPainterPath back;
        back.moveTo(2.5, 27.5);
        back.lineTo(2.5, 6.5);
        back.lineTo(11.5, 6.5);
        back.lineTo(14.5, 9.5);
        back.lineTo(26.5, 9.5);
        back.lineTo(26.5, 27.5);
        back.closeSubpath();
        painter.setPen(QPen(amber.darker(170), 1));
        painter.setBrush(amber.darker(115));
        painter.drawPath(back);

        Sheet(painter, QRectF(7.5, 4.5, 16, 16), 4);
        painter.setPen(QPen(QColor(150, 170, 200), 1));
        painter.drawLine(QPointF(10, 10.5), QPointF(18, 10.5));
        painter.drawLine(QPointF(10, 13.5), QPointF(21, 13.5));

        QPainterPath front;
        front.moveTo(2.5, 27.5);
        front.lineTo(6.5, 14.5);
        front.lineTo(30.5, 14.5);
        front.lineTo(26.5, 27.5);
        front.closeSubpath();
        painter.setPen(QPen(amber.darker(170), 1));
        painter.setBrush(Vertical(QRectF(2, 14, 28, 14), QColor(255, 225, 130), amber));
        painter.drawPath(front);
    });
}

QImage AboutGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        const QRectF disc(2.5, 2.5, 27, 27);
        painter.setPen(QPen(kBlue.darker(160), 1));
        painter.setBrush(Vertical(disc, QColor(110, 175, 245), kBlue));
        painter.drawEllipse(disc);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 70));
        painter.drawEllipse(QRectF(6, 4, 20, 11));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(16, 9.5), 2.3, 2.3);
        painter.drawRoundedRect(QRectF(13.8, 13.5, 4.4, 11.5), 1, 1);
        painter.drawRect(QRectF(12, 13.5, 4, 2));
        painter.drawRect(QRectF(12, 23.5, 8, 2));
    });
}

QImage ExitGlyph(qreal scale)
{
    return Painted(kGlyph, kGlyph, scale, [](QPainter& painter) {
        const QColor wood(150, 95, 50);

        // The door frame, and the door swung open into the room.
        painter.setPen(QPen(kOutline, 1));
        painter.setBrush(QColor(60, 50, 45));
        painter.drawRect(QRectF(4.5, 3.5, 15, 25));
        QPainterPath door;
        door.moveTo(4.5, 3.5);
        door.lineTo(12.5, 6.5);
        door.lineTo(12.5, 30.5);
        door.lineTo(4.5, 28.5);
        door.closeSubpath();
        painter.setBrush(Vertical(QRectF(4, 3, 9, 28), wood.lighter(130), wood));
        painter.drawPath(door);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGoldLight);
        painter.drawEllipse(QPointF(10.5, 17.5), 1.2, 1.2);

        // The way out.
        QPainterPath arrow;
        arrow.moveTo(14.5, 13.5);
        arrow.lineTo(21.5, 13.5);
        arrow.lineTo(21.5, 8.5);
        arrow.lineTo(30.5, 16.5);
        arrow.lineTo(21.5, 24.5);
        arrow.lineTo(21.5, 19.5);
        arrow.lineTo(14.5, 19.5);
        arrow.closeSubpath();
        painter.setPen(QPen(kGreenDark, 1));
        painter.setBrush(Vertical(QRectF(14, 8, 17, 17), QColor(120, 210, 100), kGreen));
        painter.drawPath(arrow);
    });
}

}  // namespace art
