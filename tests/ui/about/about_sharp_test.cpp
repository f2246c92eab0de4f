// On a screen of scale 2 the glyphs and the about box's pictures come from their @2x twins: as
// many pixels as the screen has, in the room the 1x pictures take.
#include "About.h"
#include "PictureBox.h"
#include "ResourcePicture.h"

#include <QApplication>
#include <QIcon>
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
