// The image list file: line breaks, NUL, byte order mark, round trips and failures, on real files.
#include "ImageListFile.h"
#include "TempDir.h"

#include <QTest>

#include <sys/stat.h>

using imagelist::ImageListError;
using Items = std::vector<std::string>;
Q_DECLARE_METATYPE(Items)

class ImageListFileTest : public QObject {
    Q_OBJECT

private slots:
    void parsesLineBreaks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Items>("items");
        QTest::newRow("empty text") << QByteArray() << Items{};
        QTest::newRow("CR LF after every line") << QByteArray("a\r\nb\r\n") << Items{"a", "b"};
        QTest::newRow("no break after the last line") << QByteArray("a\r\nb") << Items{"a", "b"};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << Items{"a", "b"};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << Items{"a", "b"};
        QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << Items{"a", "", "b"};
        QTest::newRow("empty lines inside stay") << QByteArray("a\r\n\r\n\r\nb\r\n") << Items{"a", "", "", "b"};
        QTest::newRow("only a break") << QByteArray("\r\n") << Items{""};
        QTest::newRow("nothing trimmed") << QByteArray("  a b \t\r\n") << Items{"  a b \t"};
        QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << Items{"a", "b"};
        QTest::newRow("byte order mark stays") << QByteArray("\xEF\xBB\xBF/x.jpg\r\n") << Items{"\xEF\xBB\xBF/x.jpg"};
        QTest::newRow("single-byte text kept as bytes") << QByteArray("/t/\xE9t\xE9.jpg") << Items{"/t/\xE9t\xE9.jpg"};
    }
    void parsesLineBreaks()
    {
        QFETCH(QByteArray, text);
        QFETCH(Items, items);
        QCOMPARE(imagelist::ParseImageList(std::string_view(text.constData(), size_t(text.size()))), items);
    }

    void savesWithCrLfAndLoadsBack()
    {
        TempDir dir;
        const Items items{"/photos/a.jpg", "", "relative b.jpeg", "/photos/\xE9.jpg"};
        const std::string path = dir.File("list.txt");
        imagelist::SaveImageList(path, items);
        QCOMPARE(ReadFileBytes(path), std::string("/photos/a.jpg\r\n\r\nrelative b.jpeg\r\n/photos/\xE9.jpg\r\n"));
        QCOMPARE(imagelist::LoadImageList(path), items);

        // Saving replaces what was there; an empty list gives an empty file.
        imagelist::SaveImageList(path, {});
        QCOMPARE(ReadFileBytes(path), std::string());
        QCOMPARE(imagelist::LoadImageList(path), Items{});
    }

    void reportsFilesThatCannotBeUsed()
    {
        TempDir dir;
        const std::string missing = dir.File("missing.txt");
        expectError([&] { imagelist::LoadImageList(missing); },
                    "Cannot open file \"" + missing + "\". No such file or directory");
        expectError([&] { imagelist::LoadImageList(dir.Path()); },
                    "Cannot open file \"" + dir.Path() + "\". Is a directory");
        expectError([&] { imagelist::SaveImageList(dir.File("no/such/folder.txt"), {"a"}); },
                    "Cannot create file \"" + dir.File("no/such/folder.txt") + "\". No such file or directory");
        expectError([&] { imagelist::SaveImageList("/dev/full", {"a"}); },
                    "Cannot create file \"/dev/full\". No space left on device");
    }

    void namesTheAbsolutePath()
    {
        TempDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(dir.Path())));
        expectError([&] { imagelist::LoadImageList("./sub/../gone.txt"); },
                    "Cannot open file \"" + dir.File("gone.txt") + "\". No such file or directory");
        QDir::setCurrent(previous);
    }

    void stopsReadingAtNulOnAnEndlessDevice()
    {
        // /dev/zero never ends; its first byte ends the text.
        QCOMPARE(imagelist::LoadImageList("/dev/zero"), Items{});
    }

private:
    template <typename Action>
    void expectError(Action action, const std::string& message)
    {
        try {
            action();
            QFAIL("no error raised");
        } catch (const ImageListError& error) {
            QCOMPARE(std::string(error.what()), message);
        }
    }
};

QTEST_GUILESS_MAIN(ImageListFileTest)
#include "imagelist_file_test.moc"
