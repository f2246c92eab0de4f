// SPDX-License-Identifier: GPL-2.0-or-later
// Shared strokes of the artwork: the palette and the small shapes several pictures reuse.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>

namespace art {

// A transparent 32-bit canvas of the given size.
QImage Canvas(int width, int height);
// An antialiased painter that draws `scale` pixels to the point.
void Prepare(QPainter& painter, qreal scale);

// A transparent picture of that size in points, `scale` pixels to the point, drawn by `paint` on a
// prepared painter that takes point coordinates: one drawing gives the 1x, 2x and icon sizes alike.
template <typename Paint>
QImage Painted(int width, int height, qreal scale, Paint paint)
{
    QImage image = Canvas(qRound(width * scale), qRound(height * scale));
    {
        QPainter painter(&image);
        Prepare(painter, scale);
        paint(painter);
    }
    return image;
}

// Top-lit vertical gradient from `top` to `bottom` across `area`.
QBrush Vertical(const QRectF& area, const QColor& top, const QColor& bottom);

// A small landscape photograph (white mount, sky, sun, hills) filling `area`.
void Photo(QPainter& painter, const QRectF& area, qreal mount);
// A round badge centred at `centre`, filled with `colour`, with a white plus (or minus when `plus` is false).
void SignBadge(QPainter& painter, QPointF centre, qreal radius, const QColor& colour, bool plus);
// A sheet of paper with its top-right corner folded over.
void Sheet(QPainter& painter, const QRectF& area, qreal fold);
// The red band that names the document kind, "PDF" in white across it; `text` is where the
// letters are centred (the band itself unless a small picture wants them nudged).
void PdfBand(QPainter& painter, const QRectF& band, const QRectF& text, qreal outline, qreal corner, int letterPixels);
// A stylised leaf whose stalk sits at `base`, pointing along `angleDegrees`, `length` long.
void Leaf(QPainter& painter, QPointF base, qreal length, qreal angleDegrees);

// Colours shared by every picture so the set looks like one family.
inline const QColor kOutline(40, 48, 64);
inline const QColor kGreen(46, 160, 67);
inline const QColor kGreenDark(24, 110, 40);
inline const QColor kRed(210, 48, 40);
inline const QColor kBlue(40, 110, 200);
inline const QColor kGold(224, 176, 48);
inline const QColor kGoldLight(255, 228, 130);
inline const QColor kGoldDark(150, 104, 16);

}  // namespace art
