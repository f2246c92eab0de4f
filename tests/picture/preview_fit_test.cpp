// SPDX-License-Identifier: GPL-2.0-or-later
// The fit rule: the long side fills the area, the other side is truncated, never beyond the area.
#include <QTest>

#include "PicturePreview.h"

class PreviewFitTest : public QObject {
    Q_OBJECT
private slots:
    void fitsShapes_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("drawn");
        QTest::newRow("wide, larger") << QSize(4000, 3000) << QSize(80, 60);
        QTest::newRow("wide, smaller is scaled up") << QSize(40, 30) << QSize(80, 60);
        QTest::newRow("wide beyond area aspect, height truncated") << QSize(300, 100) << QSize(80, 26);
        QTest::newRow("wide but area-limited by height") << QSize(81, 80) << QSize(63, 63); // 80/1.0125 = 79 > 63
        QTest::newRow("tall, larger") << QSize(3000, 4000) << QSize(47, 63);
        QTest::newRow("tall, smaller") << QSize(6, 8) << QSize(47, 63);
        QTest::newRow("square goes by height") << QSize(500, 500) << QSize(63, 63);
        QTest::newRow("square, tiny") << QSize(1, 1) << QSize(63, 63);
        QTest::newRow("exact area") << QSize(80, 63) << QSize(80, 63);
        QTest::newRow("wide within a pixel of the area") << QSize(19, 15) << QSize(80, 63);  // not 79 x 63
        QTest::newRow("very wide truncates to zero height") << QSize(1000, 10) << QSize(80, 0);
        QTest::newRow("very tall truncates to zero width") << QSize(10, 1000) << QSize(0, 63);
        QTest::newRow("truncation not rounding") << QSize(99, 70) << QSize(80, 56); // 80 / 1.414 = 56.56
        QTest::newRow("empty picture") << QSize(0, 10) << QSize(0, 0);
    }
    void fitsShapes()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, drawn);
        QCOMPARE(FitPictureSize(picture, QSize(80, 63)), drawn);
    }

    void followsAnotherArea()
    {
        QCOMPARE(FitPictureSize(QSize(200, 100), QSize(50, 100)), QSize(50, 25));
        QCOMPARE(FitPictureSize(QSize(100, 300), QSize(100, 50)), QSize(16, 50));
    }
};

QTEST_GUILESS_MAIN(PreviewFitTest)
#include "preview_fit_test.moc"
