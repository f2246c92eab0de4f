// SPDX-License-Identifier: GPL-2.0-or-later
// Loading pictures for the preview by extension: every kind, every message, damaged files.
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QTest>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "MakeJpeg.h"
#include "MakeMetafile.h"
#include "PicturePreview.h"
#include "TempDir.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QByteArray B(const std::string& s) { return QByteArray::fromStdString(s); }

// The message LoadPreviewPicture throws, or "" when it loads.
std::string FailureOf(const std::string& path)
{
    try {
        LoadPreviewPicture(B(path));
    } catch (const PictureError& error) {
        return error.what();
    }
    return {};
}

bool IsReddish(QRgb pixel) { return qRed(pixel) > 170 && qGreen(pixel) < 70 && qBlue(pixel) < 70; }

} // namespace

class PreviewLoaderTest : public QObject {
    Q_OBJECT
private slots:
    void loadsEveryKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("drawn");
        JpegRecipe jpeg;
        jpeg.width = 160;
        jpeg.height = 120;
        MetafileRecipe meta;
        QImage png(40, 20, QImage::Format_ARGB32);
        png.fill(QColor(220, 20, 30));
        QByteArray pngBytes, bmpBytes, icoBytes;
        {
            QBuffer b(&pngBytes); b.open(QIODevice::WriteOnly); png.save(&b, "png");
            QBuffer c(&bmpBytes); c.open(QIODevice::WriteOnly); png.convertToFormat(QImage::Format_RGB32).save(&c, "bmp");
            QBuffer d(&icoBytes); d.open(QIODevice::WriteOnly); png.copy(0, 0, 20, 20).save(&d, "ico");
        }
        QTest::newRow("jpg") << "a.jpg" << QByteArray::fromStdString(MakeJpeg(jpeg)) << QSize(80, 60);
        QTest::newRow("JPEG upper case") << "a.JPEG" << QByteArray::fromStdString(MakeJpeg(jpeg)) << QSize(80, 60);
        JpegRecipe progressive = jpeg;
        progressive.progressive = true;
        const QByteArray progressiveBytes = QByteArray::fromStdString(MakeJpeg(progressive));
        QVERIFY(progressiveBytes.contains("\xFF\xC2"));  // a progressive frame header
        QTest::newRow("progressive jpg") << "p.jpg" << progressiveBytes << QSize(80, 60);
        // Within a pixel of the area's shape: the wide rule gives 80 x 63, the tall one 79 x 63.
        JpegRecipe nearArea = jpeg;
        nearArea.width = 19;
        nearArea.height = 15;
        QTest::newRow("19 x 15, near the area's shape") << "n.jpg" << QByteArray::fromStdString(MakeJpeg(nearArea))
                                                         << QSize(80, 63);
        QTest::newRow("png") << "a.png" << pngBytes << QSize(80, 40);
        QTest::newRow("bmp") << "a.Bmp" << bmpBytes << QSize(80, 40);
        QTest::newRow("ico") << "a.ico" << icoBytes << QSize(63, 63);
        QTest::newRow("wmf") << "a.wmf" << QByteArray::fromStdString(MakeWmf(meta)) << QSize(80, 40);
        QTest::newRow("emf") << "a.emf" << QByteArray::fromStdString(MakeEmf(meta)) << QSize(80, 40);
    }
    void loadsEveryKind()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, drawn);
        TempDir dir;
        const QImage picture = LoadPreviewPicture(B(dir.Write(name.toStdString(), bytes.toStdString())));
        QCOMPARE(picture.size(), drawn);
        QVERIFY2(IsReddish(picture.pixel(drawn.width() / 2, drawn.height() / 2)),
                 qPrintable(QColor(picture.pixel(drawn.width() / 2, drawn.height() / 2)).name()));
    }

    void loadsSharedTestData_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("drawn");
        QTest::newRow("baseline jpg") << "testorig.jpg" << QSize(80, 52);       // 227 x 149
        QTest::newRow("arithmetic jpg") << "testimgari.jpg" << QSize(80, 52);   // 227 x 149
        QTest::newRow("integer-DCT jpg") << "testimgint.jpg" << QSize(80, 52);  // 227 x 149
        QTest::newRow("8-bit bmp") << "shira_bird8.bmp" << QSize(80, 60);       // 192 x 144
        QTest::newRow("png") << "testorig.png" << QSize(80, 52);                // 227 x 149
        QTest::newRow("png, height-limited") << "vgl_5674_0098.png" << QSize(78, 63);  // 120 x 96
    }
    void loadsSharedTestData()
    {
        QFETCH(QString, name);
        QFETCH(QSize, drawn);
        TempDir dir;
        const QImage picture = LoadPreviewPicture(B(dir.CopyTestData("libjpeg-turbo/" + name.toStdString())));
        QCOMPARE(picture.size(), drawn);
    }

    void keepsPngAlpha()
    {
        QImage png(10, 10, QImage::Format_ARGB32);
        png.fill(Qt::transparent);
        QByteArray bytes;
        QBuffer b(&bytes); b.open(QIODevice::WriteOnly); png.save(&b, "png");
        TempDir dir;
        const QImage picture = LoadPreviewPicture(B(dir.Write("clear.png", bytes.toStdString())));
        QVERIFY(picture.hasAlphaChannel());
        QCOMPARE(qAlpha(picture.pixel(30, 30)), 0);
    }

    void reportsExactMessages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray jpeg = QByteArray::fromStdString(MakeJpeg({}));
        const QByteArray wmf = QByteArray::fromStdString(MakeWmf({}));
        const QByteArray emf = QByteArray::fromStdString(MakeEmf({}));
        QTest::newRow("unknown extension keeps its case") << "photo.Tiff" << jpeg << "Unknown picture file extension (.Tiff)";
        QTest::newRow("no extension") << "photo" << jpeg << "Unknown picture file extension (.)";
        QTest::newRow("trailing dot") << "photo." << jpeg << "Unknown picture file extension (.)";
        QTest::newRow("only the last dot counts") << "photo.jpg.txt" << jpeg << "Unknown picture file extension (.txt)";
        QTest::newRow("jpeg without start marker") << "x.jpg" << QByteArray("GIF89a not a jpeg") << "JPEG error #53";
        QTest::newRow("empty jpeg") << "x.jpeg" << QByteArray() << "JPEG error #42";
        QTest::newRow("jpeg cut inside the header") << "x.jpg" << jpeg.left(30) << "JPEG error #51";
        QTest::newRow("png that is a jpeg") << "x.png" << jpeg << "PNG image is not valid";
        QTest::newRow("bmp that is a jpeg") << "x.bmp" << jpeg << "Bitmap image is not valid";
        QTest::newRow("ico of garbage") << "x.ico" << QByteArray(64, '\x7f') << "Icon image is not valid";
        QTest::newRow("wmf with wrong magic") << "x.wmf" << QByteArray("XXXX") + wmf.mid(4, 18) << "Metafile is not valid";
        QByteArray hugeRecord = wmf;
        hugeRecord[22 + 12] = hugeRecord[22 + 13] = hugeRecord[22 + 14] = '\x7f'; // largest record: ~4 GB
        QTest::newRow("wmf claiming a huge record") << "x.wmf" << hugeRecord << "Metafile is not valid";
        QTest::newRow("wmf cut short") << "x.wmf" << wmf.left(40) << "Metafile is not valid";
        QTest::newRow("emf with wrong magic") << "x.emf" << QByteArray(108, '\0') << "Metafile is not valid";
        QByteArray unendedDescription = emf;
        unendedDescription[64] = 100; // description at offset 100 with no terminating zero before the records
        QTest::newRow("emf description without end") << "x.emf" << unendedDescription << "Metafile is not valid";
        QTest::newRow("emf cut short") << "x.emf" << emf.left(60) << "Metafile is not valid";
        QTest::newRow("empty emf") << "x.emf" << QByteArray() << "Metafile is not valid";
    }
    void refusesTwelveBitJpeg()
    {
        // This build of the decoder handles 8-bit samples only; the refusal carries its message number.
        TempDir dir;
        QCOMPARE(Q(FailureOf(dir.CopyTestData("libjpeg-turbo/monkey12.jpg"))), QStringLiteral("JPEG error #15"));
    }

    void reportsExactMessages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TempDir dir;
        QCOMPARE(Q(FailureOf(dir.Write(name.toStdString(), bytes.toStdString()))), message);
    }

    void cutOffJpegShowsWhatItHas()
    {
        JpegRecipe recipe;
        recipe.width = 400;
        recipe.height = 300;
        const std::string jpeg = MakeJpeg(recipe);
        TempDir dir;
        const QImage picture = LoadPreviewPicture(B(dir.Write("cut.jpg", jpeg.substr(0, jpeg.size() / 2))));
        QCOMPARE(picture.size(), QSize(80, 60));
        QVERIFY(IsReddish(picture.pixel(40, 2)));
    }

    void cannotOpenNamesAbsolutePathAndReason()
    {
        TempDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(Q(dir.Path()));
        const std::string missing = FailureOf("sub/../missing.jpg");
        QDir::setCurrent(previous);
        QCOMPARE(Q(missing), QStringLiteral("Cannot open file \"%1/missing.jpg\". No such file or directory").arg(Q(dir.Path())));

        const std::string folder = dir.File("folder.png");
        ::mkdir(folder.c_str(), 0700);
        QCOMPARE(Q(FailureOf(folder)), QStringLiteral("Cannot open file \"%1\". Is a directory").arg(Q(folder)));

        // A FIFO must not block the window waiting for a writer.
        const std::string fifo = dir.File("pipe.jpg");
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        QCOMPARE(Q(FailureOf(fifo)), QStringLiteral("Cannot open file \"%1\". No such device").arg(Q(fifo)));

        if (::geteuid() != 0) {
            const std::string locked = dir.Write("locked.bmp", "BM");
            ::chmod(locked.c_str(), 0);
            QCOMPARE(Q(FailureOf(locked)), QStringLiteral("Cannot open file \"%1\". Permission denied").arg(Q(locked)));
        }
    }

    void opensANameThatIsNotText()
    {
        // Latin-1 bytes: no UTF-8 text names this file, so only the bytes themselves open it.
        TempDir dir;
        const std::string path = dir.Write("caf\xE9 \xFF.jpg", MakeJpeg({.width = 40, .height = 20}));
        QCOMPARE(LoadPreviewPicture(B(path)).size(), QSize(80, 40));
    }

    void unknownExtensionWinsOverMissingFile()
    {
        QCOMPARE(Q(FailureOf("/no/such/folder/file.gif")), QStringLiteral("Unknown picture file extension (.gif)"));
    }

    void librariesStayQuiet()
    {
        // Damaged metafiles make the libraries complain; none of it may reach the terminal.
        TempDir dir;
        const std::string outputPath = dir.File("captured.txt");
        const int captured = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int savedOut = ::dup(STDOUT_FILENO);
        ::dup2(captured, STDOUT_FILENO);
        const std::string wmf = MakeWmf({});
        const std::string emf = MakeEmf({});
        for (size_t cut = 18; cut < wmf.size(); cut += 7)
            FailureOf(dir.Write("w.wmf", wmf.substr(0, cut)));
        for (size_t cut = 8; cut < emf.size(); cut += 9)
            FailureOf(dir.Write("e.emf", emf.substr(0, cut)));
        FailureOf(dir.Write("x.png", "\x89PNG\r\n\x1a\n broken"));
        std::fflush(stdout);
        ::dup2(savedOut, STDOUT_FILENO);
        ::close(savedOut);
        ::close(captured);
        QCOMPARE(Q(ReadFileBytes(outputPath)), QString());
    }
};

QTEST_MAIN(PreviewLoaderTest)
#include "preview_loader_test.moc"
