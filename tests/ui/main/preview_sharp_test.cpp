// SPDX-License-Identifier: GPL-2.0-or-later
// On a screen of scale 2 the preview is fitted to the screen's pixels, not enlarged from a 1x picture.
#include "ListBoxOnChangeU.h"
#include "ListPaths.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class PreviewSharpTest : public QObject {
    Q_OBJECT

private slots:
    void previewHasTheScreensPixels()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        TempDir dir;
        const std::string path = dir.Write("wide.jpg", MakeJpeg({.width = 200, .height = 100, .gradient = true}));
        TForm1 form;
        InsertPath(*form.lst1, -1, QByteArray::fromStdString(path));
        form.lst1->SetItemIndex(0);
        form.lst1Click();
        const QPixmap shown = form.img1->pixmap();
        QCOMPARE(shown.size(), QSize(160, 80));  // 200 x 100 fitted into 160 x 126 pixels
        QCOMPARE(shown.deviceIndependentSize().toSize(), QSize(80, 40));
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    PreviewSharpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "preview_sharp_test.moc"
