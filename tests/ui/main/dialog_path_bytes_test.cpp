// SPDX-License-Identifier: GPL-2.0-or-later
// The bytes a file dialog's chosen text stands for, found among the names on disk.
#include "DialogPathBytes.h"

#include "TempDir.h"

#include <QTest>

#include <filesystem>
#include <fstream>

class DialogPathBytesTest : public QObject {
    Q_OBJECT

private slots:
    void chosenTextBecomesTheNamesBytes_data()
    {
        QTest::addColumn<QByteArrayList>("onDisk");  // a trailing '/' makes a folder
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("expected");
        const QString replacement(QChar::ReplacementCharacter);
        QTest::newRow("a new name") << QByteArrayList {} << "new.pdf" << QByteArray("new.pdf");
        QTest::newRow("an existing name") << QByteArrayList {"a.pdf"} << "a.pdf" << QByteArray("a.pdf");
        QTest::newRow("the one Latin-1 name shown so")
            << QByteArrayList {"caf\xE9.pdf"} << "caf" + replacement + ".pdf" << QByteArray("caf\xE9.pdf");
        QTest::newRow("a new name in a Latin-1 folder")
            << QByteArrayList {"out \xE9/"} << "out " + replacement + "/new.pdf" << QByteArray("out \xE9/new.pdf");
        // Which of them was meant cannot be told: the typed text is taken, and neither is overwritten.
        QTest::newRow("two invalid names shown alike")
            << QByteArrayList {"caf\xE9.pdf", "caf\xFF.pdf"} << "caf" + replacement + ".pdf"
            << QByteArray("caf\xEF\xBF\xBD.pdf");
        QTest::newRow("two folders shown alike")
            << QByteArrayList {"d\xE9/", "d\xFF/"} << "d" + replacement + "/new.pdf"
            << QByteArray("d\xEF\xBF\xBD/new.pdf");
        QTest::newRow("a Latin-1 name and its UTF-8 twin")
            << QByteArrayList {"caf\xE9.pdf", "caf\xEF\xBF\xBD.pdf"} << "caf" + replacement + ".pdf"
            << QByteArray("caf\xEF\xBF\xBD.pdf");
    }
    void chosenTextBecomesTheNamesBytes()
    {
        QFETCH(QByteArrayList, onDisk);
        QFETCH(QString, chosen);
        QFETCH(QByteArray, expected);
        TempDir dir;
        for (const QByteArray& name : onDisk) {
            if (name.endsWith('/')) {
                QVERIFY(std::filesystem::create_directory(dir.File(name.chopped(1).toStdString())));
            } else {
                QVERIFY(bool(std::ofstream(dir.File(name.toStdString())) << "old"));
            }
        }
        const QByteArray folder = QByteArray::fromStdString(dir.Path()) + '/';
        QCOMPARE(DialogPathBytes(QString::fromStdString(dir.Path()) + '/' + chosen), folder + expected);
    }
};

QTEST_GUILESS_MAIN(DialogPathBytesTest)
#include "dialog_path_bytes_test.moc"
