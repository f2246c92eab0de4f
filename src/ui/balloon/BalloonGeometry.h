// SPDX-License-Identifier: GPL-2.0-or-later
// Where a balloon hint goes: a rounded body and a triangular stem whose tip touches the hint point,
// placed so that the whole balloon stays inside the screen's work area.
#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>

// The body corner the stem leaves from. TopLeft: the body hangs below the point and extends to its right.
enum class StemCorner { TopLeft, TopRight, BottomLeft, BottomRight };

struct BalloonShape {
    QRect bounds;      // body and stem together, in the coordinates of the work area
    QRect body;        // the rounded rectangle
    StemCorner corner;
    QPoint tip;        // the hint point, pulled inside the work area if it lay outside
    QPolygon stem;     // tip, then the two points where the stem meets the body's edge
};

inline constexpr int kBalloonStemHeight = 16;
inline constexpr int kBalloonStemWidth = 16;
inline constexpr int kBalloonStemInset = 12;      // from the body's side edge to the stem's straight side
inline constexpr int kBalloonCornerDiameter = 11; // corners rounded with an 11 x 11 ellipse

// Prefers the stem at the top-left; flips it to the right when the body would cross the right edge
// and to the bottom when it would cross the bottom edge. A body larger than the work area is aligned
// to its top-left.
BalloonShape PlaceBalloon(const QRect& workArea, const QPoint& hintPoint, const QSize& bodySize);

// The balloon's outline (body and stem as one closed shape), relative to shape.bounds.topLeft().
QPainterPath BalloonOutline(const BalloonShape& shape);
