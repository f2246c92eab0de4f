// SPDX-License-Identifier: GPL-2.0-or-later
// Where balloons go: the stem corner near each edge of a work area, and the balloon kept inside it.
#include "BalloonGeometry.h"

#include <QTest>

Q_DECLARE_METATYPE(StemCorner)

namespace {

// Deliberately not at the origin, so absolute and relative coordinates cannot be confused.
const QRect kWork(100, 50, 800, 600);  // x 100..899, y 50..649
const QSize kBody(200, 60);

}  // namespace

class BalloonGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void stemCornerFollowsTheEdges_data()
    {
        QTest::addColumn<QPoint>("hint");
        QTest::addColumn<StemCorner>("corner");
        QTest::addColumn<QPoint>("tip");
        QTest::newRow("middle") << QPoint(500, 300) << StemCorner::TopLeft << QPoint(500, 300);
        QTest::newRow("left edge") << QPoint(101, 300) << StemCorner::TopLeft << QPoint(101, 300);
        QTest::newRow("top-left corner") << QPoint(100, 50) << StemCorner::TopLeft << QPoint(100, 50);
        QTest::newRow("top edge") << QPoint(500, 52) << StemCorner::TopLeft << QPoint(500, 52);
        QTest::newRow("right edge") << QPoint(880, 300) << StemCorner::TopRight << QPoint(880, 300);
        QTest::newRow("just fits on the right") << QPoint(899 - 200 + 1 + 12, 300) << StemCorner::TopLeft
                                                << QPoint(712, 300);
        QTest::newRow("one pixel too far right") << QPoint(713, 300) << StemCorner::TopRight << QPoint(713, 300);
        QTest::newRow("top-right corner") << QPoint(899, 50) << StemCorner::TopRight << QPoint(899, 50);
        QTest::newRow("bottom edge") << QPoint(500, 640) << StemCorner::BottomLeft << QPoint(500, 640);
        QTest::newRow("just fits below") << QPoint(500, 649 - 60 + 1 - 16) << StemCorner::TopLeft
                                         << QPoint(500, 574);
        QTest::newRow("one pixel too low") << QPoint(500, 575) << StemCorner::BottomLeft << QPoint(500, 575);
        QTest::newRow("bottom-left corner") << QPoint(100, 649) << StemCorner::BottomLeft << QPoint(100, 649);
        QTest::newRow("bottom-right corner") << QPoint(899, 649) << StemCorner::BottomRight << QPoint(899, 649);
        QTest::newRow("beyond the right edge") << QPoint(1500, 300) << StemCorner::TopRight << QPoint(899, 300);
        QTest::newRow("above and left of the area") << QPoint(-40, -40) << StemCorner::TopLeft << QPoint(100, 50);
    }
    void stemCornerFollowsTheEdges()
    {
        QFETCH(QPoint, hint);
        QFETCH(StemCorner, corner);
        QFETCH(QPoint, tip);
        const BalloonShape shape = PlaceBalloon(kWork, hint, kBody);

        QCOMPARE(shape.corner, corner);
        QCOMPARE(shape.tip, tip);
        QCOMPARE(shape.stem.size(), 3);
        QCOMPARE(shape.stem[0], tip);
        QCOMPARE(shape.body.size(), kBody);
        QVERIFY2(kWork.contains(shape.bounds), "balloon leaves the work area");
        QVERIFY(shape.bounds.contains(shape.body));

        // The stem leaves from the named side of the body, on the named half, and reaches the tip.
        const bool top = corner == StemCorner::TopLeft || corner == StemCorner::TopRight;
        const bool left = corner == StemCorner::TopLeft || corner == StemCorner::BottomLeft;
        const int edge = top ? shape.body.top() : shape.body.bottom();
        QCOMPARE(shape.stem[1].y(), edge);
        QCOMPARE(shape.stem[2].y(), edge);
        QCOMPARE(std::abs(shape.tip.y() - edge), kBalloonStemHeight);
        const int stemMiddle = (shape.stem[1].x() + shape.stem[2].x()) / 2;
        QCOMPARE(stemMiddle < shape.body.center().x(), left);
        QCOMPARE(std::abs(shape.stem[1].x() - shape.stem[2].x()), kBalloonStemWidth);
    }

    void bodyLargerThanTheAreaIsAlignedToItsTopLeft()
    {
        const BalloonShape shape = PlaceBalloon(kWork, QPoint(500, 300), QSize(1000, 700));
        QCOMPARE(shape.body.topLeft(), kWork.topLeft());
        QCOMPARE(shape.body.size(), QSize(1000, 700));
    }

    void outlineJoinsBodyAndStem()
    {
        const BalloonShape shape = PlaceBalloon(kWork, QPoint(880, 640), kBody);
        const QPainterPath outline = BalloonOutline(shape);
        const QPointF origin = shape.bounds.topLeft();
        QVERIFY(outline.contains(QPointF(shape.body.center()) - origin));
        // A point just inside the stem, near its tip, is part of the shape.
        const QPointF nearTip = (QPointF(shape.stem[0]) * 3 + QPointF(shape.stem[1]) + QPointF(shape.stem[2])) / 5;
        QVERIFY(outline.contains(nearTip - origin));
        // The body's very corner is cut by the rounding.
        QVERIFY(!outline.contains(QPointF(0.3, 0.3)));
        QVERIFY(QRectF(QPointF(0, 0), QSizeF(shape.bounds.size())).contains(outline.boundingRect()));
    }
};

QTEST_APPLESS_MAIN(BalloonGeometryTest)
#include "balloon_geometry_test.moc"
