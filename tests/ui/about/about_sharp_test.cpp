// SPDX-License-Identifier: GPL-2.0-or-later
// On a screen of scale 2 the glyphs and the about box's pictures come from their @2x twins: as
// many pixels as the screen has, in the room the 1x pictures take; and text keeps its letters together.
#include "About.h"
#include "AppFonts.h"
#include "PictureBox.h"
#include "ResourcePicture.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QIcon>
#include <QLabel>
#include <QTest>

class AboutSharpTest : public QObject {
    Q_OBJECT

private slots:
    void screenHasScaleTwo() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void glyphsComeAtTwiceThePixels()
    {
        for (const char* glyph : {"add", "remove", "create", "clear", "save", "load", "about", "exit"}) {
            const QIcon icon(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(glyph)));
            QCOMPARE(icon.pixmap(QSize(32, 32)).size(), QSize(64, 64));
        }
    }

    void aboutPicturesComeAtTwiceThePixels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("points");
        QTest::newRow("close picture") << "image3" << QSize(48, 48);
        QTest::newRow("framed picture, a bitmap") << "Image1" << QSize(147, 110);
        QTest::newRow("gold frame") << "image4" << QSize(155, 115);
    }
    void aboutPicturesComeAtTwiceThePixels()
    {
        QFETCH(QString, name);
        QFETCH(QSize, points);
        TAboutBox box;
        const QPixmap picture = box.findChild<PictureBox*>(name)->Picture();
        QCOMPARE(picture.size(), points * 2);
        QCOMPARE(picture.deviceIndependentSize().toSize(), points);
    }

    // A bitmap face is drawn at its strike's size with scaled-up advances there: a scalable face
    // takes its place.
    void aboutBoxTextIsInAScalableFace()
    {
        if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf")))
            QSKIP("fonts-wine is not installed");
        RegisterAppFonts();
        TAboutBox box;
        for (const char* name : {"makerLine", "Comments", "sLabel1", "sLabelFX1"}) {
            const QFontInfo face(box.findChild<QLabel*>(QString::fromLatin1(name))->font());
            QCOMPARE(face.family(), QStringLiteral("Tahoma"));
        }
    }

    void plainScreenOrNoTwinGivesThePictureItself()
    {
        QCOMPARE(LoadResourcePicture(QStringLiteral(":/about/image1.bmp"), 1).size(), QSize(147, 110));
        const QPixmap icon = LoadResourcePicture(QStringLiteral(":/icons/leafbind.png"), 2);  // no twin
        QCOMPARE(icon.size(), QSize(256, 256));
        QCOMPARE(icon.devicePixelRatio(), 1.0);
        QVERIFY(LoadResourcePicture(QStringLiteral(":/about/missing.png"), 2).isNull());
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    AboutSharpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "about_sharp_test.moc"
