// SPDX-License-Identifier: GPL-2.0-or-later
// Centring a window by its outer frame.
#include "FramePlacement.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

class FramePlacementTest : public QObject {
    Q_OBJECT

private slots:
    void centresTheOuterFrame_data()
    {
        QTest::addColumn<QRect>("desktop");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QPoint>("topLeft");
        // The main window: 617 x 310 inside a frame of 8 pixels a side and a 29-pixel title bar.
        QTest::newRow("main window framed") << QRect(0, 0, 1280, 1024) << QSize(633, 347) << QPoint(323, 338);
        QTest::newRow("odd remainder truncates") << QRect(0, 0, 1280, 1024) << QSize(634, 348) << QPoint(323, 338);
        QTest::newRow("desktop below a panel") << QRect(0, 30, 1280, 994) << QSize(633, 347) << QPoint(323, 353);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(314, 316) << QPoint(2403, 354);
        QTest::newRow("larger than the desktop") << QRect(100, 50, 600, 400) << QSize(800, 500) << QPoint(100, 50);
    }
    void centresTheOuterFrame()
    {
        QFETCH(QRect, desktop);
        QFETCH(QSize, outer);
        QFETCH(QPoint, topLeft);
        QCOMPARE(CentredFramePosition(desktop, outer), topLeft);
    }

    void placesTheFrameOnceTheWindowSystemReportsIt()
    {
        // The offscreen platform draws no frame but reports margins, as a window manager would.
        QWidget window;
        window.resize(300, 200);
        const QRect desktop(0, 0, 1000, 800);
        CentreByFrame(&window, desktop);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QMargins margins = window.windowHandle()->frameMargins();
        QVERIFY(!margins.isNull());
        const QSize outer(300 + margins.left() + margins.right(), 200 + margins.top() + margins.bottom());
        QCOMPARE(window.frameGeometry().size(), outer);
        QCOMPARE(window.frameGeometry().topLeft(), QPoint((1000 - outer.width()) / 2, (800 - outer.height()) / 2));
        // Afterwards the window stays where it is put.
        window.move(10, 20);
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(10, 20));
    }
};

QTEST_MAIN(FramePlacementTest)
#include "frame_placement_test.moc"
