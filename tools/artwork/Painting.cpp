// SPDX-License-Identifier: GPL-2.0-or-later
#include "Painting.h"

#include <QPainterPath>
#include <QtMath>

namespace art {

QImage Canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void Prepare(QPainter& painter, qreal scale)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
}

QBrush Vertical(const QRectF& area, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return QBrush(gradient);
}

void Photo(QPainter& painter, const QRectF& area, qreal mount)
{
    const qreal scale = area.width() / 32.0;
    painter.save();
    painter.setPen(QPen(kOutline, std::max(1.0, scale)));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(area, 1.5 * scale, 1.5 * scale);

    const QRectF picture = area.adjusted(mount, mount, -mount, -mount);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Vertical(picture, QColor(90, 160, 235), QColor(190, 225, 250)));
    painter.drawRect(picture);
    painter.setClipRect(picture);

    painter.setBrush(QColor(255, 205, 40));
    const qreal sun = picture.height() * 0.34;
    painter.drawEllipse(QPointF(picture.right() - sun * 1.1, picture.top() + sun * 1.0), sun * 0.55, sun * 0.55);

    QPainterPath far;
    far.moveTo(picture.left(), picture.bottom());
    far.lineTo(picture.left(), picture.top() + picture.height() * 0.62);
    far.quadTo(picture.left() + picture.width() * 0.30, picture.top() + picture.height() * 0.30,
               picture.left() + picture.width() * 0.62, picture.top() + picture.height() * 0.70);
    far.lineTo(picture.right(), picture.bottom());
    far.closeSubpath();
    painter.setBrush(QColor(70, 150, 80));
    painter.drawPath(far);

    QPainterPath near;
    near.moveTo(picture.left(), picture.bottom());
    near.quadTo(picture.left() + picture.width() * 0.65, picture.top() + picture.height() * 0.50,
                picture.right(), picture.top() + picture.height() * 0.72);
    near.lineTo(picture.right(), picture.bottom());
    near.closeSubpath();
    painter.setBrush(Vertical(picture, QColor(120, 200, 90), QColor(50, 130, 50)));
    painter.drawPath(near);
    painter.restore();
}

void SignBadge(QPainter& painter, QPointF centre, qreal radius, const QColor& colour, bool plus)
{
    painter.save();
    const QRectF disc(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setPen(QPen(colour.darker(150), 1));
    painter.setBrush(Vertical(disc, colour.lighter(130), colour));
    painter.drawEllipse(disc);
    painter.setPen(QPen(Qt::white, radius * 0.42, Qt::SolidLine, Qt::RoundCap));
    const qreal arm = radius * 0.52;
    painter.drawLine(QPointF(centre.x() - arm, centre.y()), QPointF(centre.x() + arm, centre.y()));
    if (plus)
        painter.drawLine(QPointF(centre.x(), centre.y() - arm), QPointF(centre.x(), centre.y() + arm));
    painter.restore();
}

void PdfBand(QPainter& painter, const QRectF& band, const QRectF& text, qreal outline, qreal corner, int letterPixels)
{
    painter.setPen(QPen(kRed.darker(150), outline));
    painter.setBrush(Vertical(band, kRed.lighter(125), kRed));
    painter.drawRoundedRect(band, corner, corner);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(letterPixels);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(text, Qt::AlignCenter, QStringLiteral("PDF"));
}

void Sheet(QPainter& painter, const QRectF& area, qreal fold)
{
    painter.save();
    QPainterPath page;
    page.moveTo(area.topLeft());
    page.lineTo(area.right() - fold, area.top());
    page.lineTo(area.right(), area.top() + fold);
    page.lineTo(area.bottomRight());
    page.lineTo(area.bottomLeft());
    page.closeSubpath();
    painter.setPen(QPen(kOutline, std::max(1.0, area.width() / 24.0)));
    painter.setBrush(Vertical(area, Qt::white, QColor(225, 230, 238)));
    painter.drawPath(page);

    QPainterPath dogEar;
    dogEar.moveTo(area.right() - fold, area.top());
    dogEar.lineTo(area.right() - fold, area.top() + fold);
    dogEar.lineTo(area.right(), area.top() + fold);
    dogEar.closeSubpath();
    painter.setBrush(QColor(200, 208, 220));
    painter.drawPath(dogEar);
    painter.restore();
}

void Leaf(QPainter& painter, QPointF base, qreal length, qreal angleDegrees)
{
    painter.save();
    painter.translate(base);
    painter.rotate(angleDegrees);
    // Drawn pointing along +x from the stalk.
    QPainterPath blade;
    blade.moveTo(length * 0.12, 0);
    blade.cubicTo(length * 0.35, -length * 0.42, length * 0.80, -length * 0.30, length, 0);
    blade.cubicTo(length * 0.80, length * 0.30, length * 0.35, length * 0.42, length * 0.12, 0);
    const QRectF box = blade.boundingRect();
    painter.setPen(QPen(kGreenDark, std::max(1.0, length / 22.0)));
    painter.setBrush(Vertical(box, QColor(120, 210, 90), kGreen));
    painter.drawPath(blade);
    painter.setPen(QPen(QColor(230, 255, 210), std::max(1.0, length / 28.0), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(length * 0.85, 0));
    painter.restore();
}

}  // namespace art
