// SPDX-License-Identifier: GPL-2.0-or-later
#include "BalloonGeometry.h"

#include <algorithm>

namespace {

// Start coordinate of a span of `length` inside [low, high], preferring `wanted`.
int FitSpan(int wanted, int length, int low, int high)
{
    if (length > high - low + 1)
        return low;
    return std::clamp(wanted, low, high - length + 1);
}

}  // namespace

BalloonShape PlaceBalloon(const QRect& workArea, const QPoint& hintPoint, const QSize& bodySize)
{
    BalloonShape shape;
    shape.tip = QPoint(std::clamp(hintPoint.x(), workArea.left(), workArea.right()),
                       std::clamp(hintPoint.y(), workArea.top(), workArea.bottom()));
    const int w = bodySize.width();
    const int h = bodySize.height();

    // Horizontal: extend to the right of the point unless that crosses the right edge and the left side
    // has more room.
    const int rightwardLeft = shape.tip.x() - kBalloonStemInset;
    const int leftwardLeft = shape.tip.x() + kBalloonStemInset - w + 1;
    const int roomRight = workArea.right() - rightwardLeft + 1;
    const int roomLeft = shape.tip.x() + kBalloonStemInset - workArea.left() + 1;
    const bool stemOnRight = rightwardLeft + w - 1 > workArea.right() && roomLeft > roomRight;

    // Vertical: hang below the point unless that crosses the bottom edge and above has more room.
    const int belowTop = shape.tip.y() + kBalloonStemHeight;
    const int aboveTop = shape.tip.y() - kBalloonStemHeight - h + 1;
    const int roomBelow = workArea.bottom() - belowTop + 1;
    const int roomAbove = shape.tip.y() - kBalloonStemHeight - workArea.top() + 1;
    const bool stemOnBottom = belowTop + h - 1 > workArea.bottom() && roomAbove > roomBelow;

    shape.corner = stemOnBottom ? (stemOnRight ? StemCorner::BottomRight : StemCorner::BottomLeft)
                                : (stemOnRight ? StemCorner::TopRight : StemCorner::TopLeft);

    const int left = FitSpan(stemOnRight ? leftwardLeft : rightwardLeft, w, workArea.left(), workArea.right());
    const int top = FitSpan(stemOnBottom ? aboveTop : belowTop, h, workArea.top(), workArea.bottom());
    shape.body = QRect(left, top, w, h);

    // The stem's straight side stays over the point when it can; near a body corner it slides inward
    // so it never leaves from the rounded part.
    const int radius = (kBalloonCornerDiameter + 1) / 2;
    const int edgeY = stemOnBottom ? shape.body.bottom() : shape.body.top();
    int baseX;
    int farX;
    if (stemOnRight) {
        baseX = std::clamp(shape.tip.x(), shape.body.left() + radius + kBalloonStemWidth,
                           std::max(shape.body.left() + radius + kBalloonStemWidth, shape.body.right() - radius));
        farX = baseX - kBalloonStemWidth;
    } else {
        baseX = std::clamp(shape.tip.x(), shape.body.left() + radius,
                           std::max(shape.body.left() + radius, shape.body.right() - radius - kBalloonStemWidth));
        farX = baseX + kBalloonStemWidth;
    }
    shape.stem = QPolygon({shape.tip, QPoint(baseX, edgeY), QPoint(farX, edgeY)});
    shape.bounds = shape.body.united(shape.stem.boundingRect());
    return shape;
}

QPainterPath BalloonOutline(const BalloonShape& shape)
{
    const QPointF origin = shape.bounds.topLeft();
    QPainterPath body;
    const qreal r = kBalloonCornerDiameter / 2.0;
    body.addRoundedRect(QRectF(shape.body).translated(-origin).adjusted(0.5, 0.5, -0.5, -0.5), r, r);

    // The stem's base reaches one pixel into the body so the two join without a seam.
    const int inward = (shape.corner == StemCorner::TopLeft || shape.corner == StemCorner::TopRight) ? 1 : -1;
    QPolygonF stem;
    stem << QPointF(shape.stem[0]) - origin << QPointF(shape.stem[1] + QPoint(0, inward)) - origin
         << QPointF(shape.stem[2] + QPoint(0, inward)) - origin;
    QPainterPath stemPath;
    stemPath.addPolygon(stem);
    stemPath.closeSubpath();
    return body.united(stemPath).simplified();
}
