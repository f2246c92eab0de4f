// SPDX-License-Identifier: GPL-2.0-or-later
// The pictures the program loads from its resources, and the faces the layouts ask for.
#include "AppFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QTest>

#include "TempDir.h"

namespace {

quint32 ReadBigEndian32(const QByteArray& bytes, int at)
{
    return (quint32(quint8(bytes[at])) << 24) | (quint32(quint8(bytes[at + 1])) << 16)
        | (quint32(quint8(bytes[at + 2])) << 8) | quint32(quint8(bytes[at + 3]));
}

int ReadLittleEndian16(const QByteArray& bytes, int at)
{
    return quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8);
}

}  // namespace

class AssetsTest : public QObject {
    Q_OBJECT

private slots:
    void picturesHaveTheirSizeDepthAndAlpha_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("transparentAt");  // (-1, -1): the picture must be opaque
        QTest::addColumn<QPoint>("opaqueAt");
        const QPoint opaque(-1, -1);
        // Each picture at 1x, then its @2x twin for screens of scale 2: twice the pixels, the same kind.
        for (const int scale : {1, 2}) {
            const QString twin = scale == 2 ? QStringLiteral("@2x") : QString();
            const auto row = [&](const char* name) -> QTestData& { return QTest::newRow(qPrintable(name + twin)); };
            for (const char* glyph : {"add", "remove", "create", "clear", "save", "load", "about", "exit"})
                row(glyph) << QStringLiteral(":/glyphs/%1%2.png").arg(QLatin1String(glyph), twin)
                           << QSize(32, 32) * scale << QPoint(0, 0) << QPoint(16, 16) * scale;
            row("close picture") << ":/about/image3" + twin + ".png" << QSize(48, 48) * scale << QPoint(0, 0)
                                 << QPoint(24, 24) * scale;
            row("frame middle") << ":/about/image4" + twin + ".png" << QSize(155, 115) * scale
                                << QPoint(77, 57) * scale << QPoint(4, 57) * scale;
            row("frame outside") << ":/about/image4" + twin + ".png" << QSize(155, 115) * scale << QPoint(0, 0)
                                 << QPoint(77, 4) * scale;
            row("framed picture") << ":/about/image1" + twin + ".bmp" << QSize(147, 110) * scale << opaque
                                  << QPoint(0, 0);
        }
        QTest::newRow("application icon") << ":/icons/leafbind.png" << QSize(256, 256) << QPoint(255, 0)
                                          << QPoint(128, 128);
    }
    void picturesHaveTheirSizeDepthAndAlpha()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(QPoint, transparentAt);
        QFETCH(QPoint, opaqueAt);

        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));  // linked in without any set-up call
        const QByteArray bytes = file.readAll();
        if (path.endsWith(QLatin1String(".png"))) {
            QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
            QCOMPARE(QSize(ReadBigEndian32(bytes, 16), ReadBigEndian32(bytes, 20)), size);
            QCOMPARE(int(bytes[24]), 8);  // bits per channel
            QCOMPARE(int(bytes[25]), 6);  // red, green, blue and alpha: 32 bits per pixel
        } else {
            QVERIFY(bytes.startsWith("BM"));
            QCOMPARE(ReadLittleEndian16(bytes, 28), 24);
        }

        const QImage image = QImage::fromData(bytes);
        QCOMPARE(image.size(), size);
        QVERIFY(qAlpha(image.pixel(opaqueAt)) >= 250);  // solid (antialiasing may shave a step off)
        if (transparentAt == QPoint(-1, -1)) {
            QVERIFY(!image.hasAlphaChannel());
        } else {
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(transparentAt)), 0);
        }
    }

    void namedFacesResolveWhenPresent_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("window face") << "tahoma.ttf" << "Tahoma" << false << 11;
        QTest::newRow("window face, bold") << "tahomabd.ttf" << "Tahoma" << true << 11;
        // A bitmap face: its 13-pixel strike is the one whose characters are 11 pixels high.
        QTest::newRow("about box face") << "ms_sans_serif.ttf" << "MS Sans Serif" << false << 13;
    }
    void namedFacesResolveWhenPresent()
    {
        QFETCH(QString, file);
        QFETCH(QString, family);
        QFETCH(bool, bold);
        QFETCH(int, pixelSize);
        if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/") + file))
            QSKIP("fonts-wine is not installed");
        RegisterAppFonts();
        const QFont font = AppFont(family, 11, bold);
        QCOMPARE(font.pixelSize(), 11);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(QFontInfo(font).family(), family);
        QCOMPARE(QFontInfo(font).pixelSize(), pixelSize);
    }

    void bitmapFaceWithoutANearStrikeGivesWayToTheGeneralFace()
    {
        if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf")))
            QSKIP("fonts-wine is not installed");
        RegisterAppFonts();
        const QFont title = AppFont(QStringLiteral("MS Sans Serif"), 19, true);
        QCOMPARE(QFontInfo(title).pixelSize(), 19);
        QVERIFY(QFontInfo(title).bold());
        QCOMPARE(QFontInfo(title).family(), QStringLiteral("Tahoma"));
    }

    void missingFacesFallBackToTheSystemSans()
    {
        TempDir empty;
        RegisterAppFontsFrom(QString::fromStdString(empty.Path()));  // nothing there: no error
        RegisterAppFontsFrom(QStringLiteral("/no/such/folder"));
        const QFont font = AppFont(QStringLiteral("No Such Face 7d3f"), 13, true);
        QCOMPARE(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        QCOMPARE(font.pixelSize(), 13);
        QVERIFY(font.bold());
    }
};

QTEST_MAIN(AssetsTest)
#include "assets_test.moc"
