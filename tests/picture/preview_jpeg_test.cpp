// SPDX-License-Identifier: GPL-2.0-or-later
// JPEG previews: colours of every colour space, scaled decoding, progressive files, bounded memory.
#include <QTest>

#include <string>

#include "DecodeJpeg.h"
#include "FlatJpeg.h"
#include "MakeJpeg.h"
#include "PicturePreview.h"
#include "TempDir.h"

namespace {

QImage Preview(const JpegRecipe& recipe)
{
    TempDir dir;
    return LoadPreviewPicture(QByteArray::fromStdString(dir.Write("p.jpg", MakeJpeg(recipe))));
}

std::string FailureOf(const std::string& bytes)
{
    TempDir dir;
    try {
        LoadPreviewPicture(QByteArray::fromStdString(dir.Write("p.jpg", bytes)));
    } catch (const PictureError& error) {
        return error.what();
    }
    return {};
}

// Rewrites the size in the first frame header (SOF0 or SOF2) of an encoded JPEG.
std::string WithFrameSize(std::string jpeg, int width, int height)
{
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (static_cast<uint8_t>(jpeg[i]) == 0xFF
            && (static_cast<uint8_t>(jpeg[i + 1]) == 0xC0 || static_cast<uint8_t>(jpeg[i + 1]) == 0xC2)) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
    }
    return jpeg;
}

bool Near(QRgb pixel, int red, int green, int blue, int tolerance = 24)
{
    return std::abs(qRed(pixel) - red) <= tolerance && std::abs(qGreen(pixel) - green) <= tolerance
        && std::abs(qBlue(pixel) - blue) <= tolerance;
}

QByteArray Describe(QRgb pixel) { return QColor(pixel).name().toLatin1(); }

} // namespace

class PreviewJpegTest : public QObject {
    Q_OBJECT
private slots:
    void previewsColoursOfEveryKind_data()
    {
        QTest::addColumn<int>("components");
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("restart");
        // Sizes from 1/8 scale (1600 x 1200) down to full-size decoding that is enlarged (40 x 30).
        for (const int components : {3, 4}) {
            for (const bool progressive : {false, true}) {
                for (const QSize size : {QSize(1600, 1200), QSize(320, 240), QSize(40, 30)}) {
                    const QByteArray name = QByteArray(components == 3 ? "RGB" : "CMYK") + (progressive ? " progressive " : " baseline ")
                                          + QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
                    QTest::newRow(name.constData()) << components << progressive << size.width() << size.height() << 0;
                }
            }
        }
        QTest::newRow("RGB with restart markers") << 3 << false << 800 << 600 << 2;
        QTest::newRow("RGB progressive with restart markers") << 3 << true << 800 << 600 << 2;
    }
    void previewsColoursOfEveryKind()
    {
        QFETCH(int, components);
        QFETCH(bool, progressive);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, restart);
        JpegRecipe recipe;
        recipe.components = components;
        recipe.progressive = progressive;
        recipe.width = width;
        recipe.height = height;
        recipe.restartInterval = restart;
        recipe.red = 220;
        recipe.green = 20;
        recipe.blue = 30;
        const QImage picture = Preview(recipe);
        QCOMPARE(picture.size(), QSize(80, 60));
        for (const QPoint at : {QPoint(0, 0), QPoint(40, 30), QPoint(79, 59)})
            QVERIFY2(Near(picture.pixel(at), 220, 20, 30), Describe(picture.pixel(at)));
    }

    void previewsGrayscale()
    {
        JpegRecipe recipe;
        recipe.components = 1;
        recipe.width = 900;
        recipe.height = 1200;
        recipe.red = recipe.green = recipe.blue = 90;
        const QImage picture = Preview(recipe);
        QCOMPARE(picture.size(), QSize(47, 63));
        QVERIFY2(Near(picture.pixel(20, 30), 90, 90, 90, 4), Describe(picture.pixel(20, 30)));
    }

    void keepsOrientation_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::newRow("baseline") << false;
        QTest::newRow("progressive") << true;
    }
    void keepsOrientation()
    {
        // The ramp runs red left to right and green top to bottom; blue is 255 minus red.
        QFETCH(bool, progressive);
        JpegRecipe recipe;
        recipe.width = 2000;
        recipe.height = 1000;
        recipe.gradient = true;
        recipe.progressive = progressive;
        const QImage picture = Preview(recipe);
        QCOMPARE(picture.size(), QSize(80, 40));
        QVERIFY2(Near(picture.pixel(0, 0), 0, 0, 255, 20), Describe(picture.pixel(0, 0)));
        QVERIFY2(Near(picture.pixel(79, 0), 255, 0, 0, 20), Describe(picture.pixel(79, 0)));
        QVERIFY2(Near(picture.pixel(0, 39), 0, 255, 255, 20), Describe(picture.pixel(0, 39)));
        QVERIFY2(Near(picture.pixel(40, 20), 128, 128, 128, 20), Describe(picture.pixel(40, 20)));
    }

    void decodesAtFullScaleWhenTheAreaNeedsIt()
    {
        // Only a full-scale decode covers 80 x 60; any smaller scale blurs single pixels to grey.
        JpegRecipe recipe;
        recipe.components = 1;
        recipe.width = 80;
        recipe.height = 60;
        recipe.quality = 100;
        recipe.checkerboard = true;
        const QImage picture = Preview(recipe);
        QCOMPARE(picture.size(), QSize(80, 60));
        for (const QPoint at : {QPoint(0, 0), QPoint(41, 31), QPoint(78, 58)}) {
            QVERIFY2(Near(picture.pixel(at), 0, 0, 0, 40), Describe(picture.pixel(at)));
            QVERIFY2(Near(picture.pixel(at + QPoint(1, 0)), 255, 255, 255, 40), Describe(picture.pixel(at + QPoint(1, 0))));
        }
    }

    void previewsPicturesPastTheMemoryLimit_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::newRow("baseline") << false;
        QTest::newRow("progressive") << true;
    }
    void previewsPicturesPastTheMemoryLimit()
    {
        // 22,500 x 33,300: a whole-picture coefficient buffer would take 1.5 GB, six times the limit.
        QFETCH(bool, progressive);
        const std::vector<unsigned char> small = DecodeJpegSamples(MakeFlatGreyJpeg(20, 12, progressive));
        QCOMPARE(small, std::vector<unsigned char>(20 * 12, 200)); // libjpeg reads the fixture's kind as meant
        TempDir dir;
        const std::string huge = dir.Write("huge.jpg", MakeFlatGreyJpeg(22500, 33300, progressive));
        const QImage picture = LoadPreviewPicture(QByteArray::fromStdString(huge));
        QCOMPARE(picture.size(), QSize(42, 63));
        for (const QPoint at : {QPoint(0, 0), QPoint(21, 31), QPoint(41, 62)})
            QVERIFY2(Near(picture.pixel(at), 200, 200, 200, 1), Describe(picture.pixel(at)));
    }

    void stopsAtEndOfCutOffHugePicture_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::newRow("baseline") << false;
        QTest::newRow("progressive") << true;
    }
    void stopsAtEndOfCutOffHugePicture()
    {
        // The header promises 60,000 x 60,000 but the data ends at once: reading stops there, in grey.
        QFETCH(bool, progressive);
        JpegRecipe recipe;
        recipe.progressive = progressive;
        TempDir dir;
        const std::string huge = dir.Write("huge.jpg", WithFrameSize(MakeJpeg(recipe), 60000, 60000));
        const QImage picture = LoadPreviewPicture(QByteArray::fromStdString(huge));
        QCOMPARE(picture.size(), QSize(63, 63));
        QVERIFY2(Near(picture.pixel(40, 40), 128, 128, 128, 2), Describe(picture.pixel(40, 40)));
    }

    void refusesZeroSizedFrame()
    {
        const std::string message = FailureOf(WithFrameSize(MakeJpeg({}), 0, 8));
        QVERIFY2(message.rfind("JPEG error #", 0) == 0, message.c_str());
    }
};

QTEST_MAIN(PreviewJpegTest)
#include "preview_jpeg_test.moc"
