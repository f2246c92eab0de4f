// SPDX-License-Identifier: GPL-2.0-or-later
// Files dropped on the main window from another program: the uri-list decoded to path bytes, the
// folders opened, the drop point, the drop cursor, and the status line afterwards.
#include "MainWindowHarness.h"

#include "FileDrop.h"
#include "ListBoxOnChangeU.h"
#include "ListDragOperation.h"
#include "ListPaths.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "frmMain.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

#include <unistd.h>

using ByteList = QList<QByteArray>;

namespace {

QByteArray B(const std::string& s) { return QByteArray::fromStdString(s); }

ByteList Paths(const DroppedPaths& dropped) { return ByteList(dropped.paths.begin(), dropped.paths.end()); }

QByteArray FileUrl(const QByteArray& path) { return "file://" + path.toPercentEncoding("/"); }

struct DragAnswer {
    bool accepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// A platform drag over the point `global`, delivered as the toolkit does: to the widget under the
// pointer or its nearest parent that takes drops. Ends in a drop when `drop` is set.
DragAnswer Drag(QPoint global, QMimeData* offer, bool drop, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    QWidget* target = QApplication::widgetAt(global);
    while (target != nullptr && !target->acceptDrops())
        target = target->isWindow() ? nullptr : target->parentWidget();
    if (target == nullptr)
        return {};
    const QPoint at = target->mapFromGlobal(global);
    QDragEnterEvent enter(at, actions, offer, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, actions, offer, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    DragAnswer answer {move.isAccepted(), move.dropAction()};
    if (drop) {
        QDropEvent dropped(QPointF(at), actions, offer, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        answer = {dropped.isAccepted(), dropped.dropAction()};
    }
    return answer;
}

}  // namespace

class MainWindowFileDropTest : public QObject, MainWindowFixture {
    Q_OBJECT

public:
    explicit MainWindowFileDropTest(std::shared_ptr<RecordingBoxes> boxes) : MainWindowFixture(std::move(boxes)) {}

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { form_.reset(); }

    void uriListGivesPathBytes_data()
    {
        QTest::addColumn<QByteArray>("uriList");
        QTest::addColumn<ByteList>("expected");
        QTest::addColumn<int>("skipped");
        QTest::newRow("plain") << QByteArray("file:///tmp/a.jpg") << ByteList {"/tmp/a.jpg"} << 0;
        QTest::newRow("escaped space and hash")
            << QByteArray("file:///tmp/my%20photo%23%31.jpg") << ByteList {"/tmp/my photo#1.jpg"} << 0;
        QTest::newRow("latin-1 bytes") << QByteArray("file:///tmp/%E9t%e9.jpg") << ByteList {"/tmp/\xE9t\xE9.jpg"} << 0;
        QTest::newRow("byte FF") << QByteArray("file:///tmp/%FF.jpg") << ByteList {"/tmp/\xFF.jpg"} << 0;
        QTest::newRow("UTF-8, escaped") << QByteArray("file:///%C3%A9.jpg") << ByteList {"/\xC3\xA9.jpg"} << 0;
        QTest::newRow("escape at the very end") << QByteArray("file:///tmp/caf%C3%A9") << ByteList {"/tmp/caf\xC3\xA9"} << 0;
        QTest::newRow("UTF-8, raw") << QByteArray("file:///\xC3\xA9.jpg") << ByteList {"/\xC3\xA9.jpg"} << 0;
        QTest::newRow("broken escapes kept") << QByteArray("file:///a%zz%4.jpg%") << ByteList {"/a%zz%4.jpg%"} << 0;
        QTest::newRow("localhost, any case") << QByteArray("file://LocalHost/a.jpg") << ByteList {"/a.jpg"} << 0;
        QTest::newRow("no authority") << QByteArray("File:/a.jpg") << ByteList {"/a.jpg"} << 0;
        QTest::newRow("order, CR LF, comments, blank lines")
            << QByteArray("# from a file manager\r\nfile:///b.jpg\r\n\r\nfile:///a.jpg\r\n")
            << ByteList {"/b.jpg", "/a.jpg"} << 0;
        QTest::newRow("LF only, trailing NUL")
            << QByteArray("file:///a.jpg\nfile:///b.jpg\n\0", 29) << ByteList {"/a.jpg", "/b.jpg"} << 0;
        QTest::newRow("other host") << QByteArray("file://server/share/a.jpg") << ByteList {} << 1;
        QTest::newRow("other schemes")
            << QByteArray("https://example.org/a.jpg\r\nsmb://server/a.jpg\r\nfile:///c.jpg")
            << ByteList {"/c.jpg"} << 2;
        QTest::newRow("NUL in the path") << QByteArray("file:///tmp/a%00.jpg") << ByteList {} << 1;
        QTest::newRow("relative") << QByteArray("file:a.jpg") << ByteList {} << 1;
        QTest::newRow("host without path") << QByteArray("file://localhost") << ByteList {} << 1;
        QTest::newRow("empty") << QByteArray() << ByteList {} << 0;
    }
    void uriListGivesPathBytes()
    {
        QFETCH(QByteArray, uriList);
        QFETCH(ByteList, expected);
        QFETCH(int, skipped);
        const DroppedPaths dropped = LocalPathsOfUriList(uriList);
        QCOMPARE(Paths(dropped), expected);
        QCOMPARE(dropped.skipped, skipped);
        QCOMPARE(OffersLocalPath(uriList), !expected.isEmpty());
    }

    void thisMachinesNameIsLocal()
    {
        char name[256] = {};
        QVERIFY(gethostname(name, sizeof name - 1) == 0);
        const DroppedPaths dropped = LocalPathsOfUriList("file://" + QByteArray(name) + "/a.jpg");
        QCOMPARE(Paths(dropped), ByteList {"/a.jpg"});
    }

    void foldersGiveTheirJpegFilesInNaturalOrder()
    {
        TempDir dir;
        namespace fs = std::filesystem;
        fs::create_directory(dir.File("photos"));
        for (const char* name : {"IMG_10.jpg", "IMG_2.jpg", "IMG_1.JPEG", "scan.JFIF", "photo.jpe", "notes.txt",
                                 "photo.png"})
            dir.Write(std::string("photos/") + name, "x");
        fs::create_directory(dir.File("photos/inner.jpg"));  // a folder: neither added nor counted
        dir.Write("photos/inner.jpg/deep.jpg", "x");
        fs::create_symlink(dir.File("gone.jpg"), dir.File("photos/broken.jpg"));
        // Names that are not UTF-8 show alike; their bytes decide.
        fs::create_directory(dir.File("raw"));
        dir.Write("raw/\xFF.jpg", "x");
        dir.Write("raw/\xE9.jpg", "x");
        const std::string single = dir.Write("single.JPG", "x");
        const std::string text = dir.Write("readme.txt", "x");

        DroppedPaths offered;
        offered.paths = {B(dir.File("raw")), B(single), B(dir.File("missing.jpg")), B(text),
                         B(dir.File("photos/"))};
        offered.skipped = 1;
        const DroppedPaths files = JpegFilesOf(offered);
        const QByteArray photos = B(dir.File("photos/"));
        QCOMPARE(Paths(files), (ByteList {B(dir.File("raw/\xE9.jpg")), B(dir.File("raw/\xFF.jpg")), B(single),
                                         photos + "IMG_1.JPEG", photos + "IMG_2.jpg", photos + "IMG_10.jpg",
                                         photos + "photo.jpe", photos + "scan.JFIF"}));
        // 1 offered + missing.jpg + readme.txt + notes.txt + photo.png + the broken link
        QCOMPARE(files.skipped, 6);
    }

    void dropsLandAtThePointer_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("on the first item") << "item 0" << QStringList {"c", "d", "a", "b"};
        QTest::newRow("on the last item") << "item 1" << QStringList {"a", "c", "d", "b"};
        QTest::newRow("below the last item") << "below" << QStringList {"a", "b", "c", "d"};
        QTest::newRow("on the tool panel") << "panel" << QStringList {"a", "b", "c", "d"};
        QTest::newRow("on the status bar") << "status" << QStringList {"a", "b", "c", "d"};
    }
    void dropsLandAtThePointer()
    {
        QFETCH(QString, where);
        QFETCH(QStringList, expected);
        TempDir dir;
        QByteArray offer;
        for (const char* name : {"a", "b", "c", "d"}) {
            const std::string path = dir.Write(std::string(name) + ".jpg", MakeJpeg({.width = 8, .height = 8}));
            if (name[0] >= 'c')
                offer += FileUrl(B(path)) + "\r\n";
            else
                dialogs_->answers.append(QStringList {QString::fromStdString(path)});
        }
        form_->btn1->click();
        form_->btn1->click();
        TListBox& list = *form_->lst1;
        // The list is its own drag partner and has a selection: a file drop must not move it.
        list.SetItemIndex(1);
        QListWidgetItem* selected = list.item(1);

        QPoint at;
        if (where.startsWith("item"))
            at = list.viewport()->mapToGlobal(list.visualItemRect(list.item(where.back().digitValue())).center());
        else if (where == "below")
            at = list.viewport()->mapToGlobal(QPoint(20, list.viewport()->height() - 5));
        else if (where == "panel")
            at = form_->pnl1->mapToGlobal(QPoint(form_->pnl1->width() - 200, 5));
        else
            at = form_->stat1->mapToGlobal(QPoint(5, 5));
        QMimeData mime;
        mime.setData("text/uri-list", offer);
        const DragAnswer answer = Drag(at, &mime, true);

        QVERIFY(answer.accepted);
        QCOMPARE(answer.action, Qt::CopyAction);
        QStringList names;
        for (const std::string& path : PathsOf(list))
            names << QString::fromStdString(std::filesystem::path(path).stem().string());
        QCOMPARE(names, expected);
        QCOMPARE(list.item(list.ItemIndex()), selected);
        QVERIFY(ListDragOperation::Current() == nullptr);
        QCOMPARE(form_->StatusText(), QStringLiteral("4 Images are ready to export"));
    }

    void dropReportsCountAndSkippedFiles()
    {
        TempDir dir;
        std::filesystem::create_directory(dir.File("trip"));
        dir.Write("trip/IMG_10.jpg", "x");
        dir.Write("trip/IMG_9.jpg", "x");
        dir.Write("trip/notes.txt", "x");
        const std::string odd = dir.Write("\xE9t\xE9.jpg", "x");
        QMimeData mime;
        mime.setData("text/uri-list", FileUrl(B(dir.File("trip"))) + "\r\nhttps://example.org/x.jpg\r\n"
                                          + FileUrl(B(odd)) + "\r\n");
        QVERIFY(!form_->btn3->isEnabled());

        QVERIFY(Drag(form_->lst1->viewport()->mapToGlobal(QPoint(20, 20)), &mime, true).accepted);
        QCOMPARE(PathsOf(*form_->lst1),
                 (std::vector<std::string> {dir.File("trip/IMG_9.jpg"), dir.File("trip/IMG_10.jpg"), odd}));
        QCOMPARE(form_->StatusText(), QStringLiteral("3 Images are ready to export; 2 files skipped"));
        for (QToolButton* button : {form_->btn2, form_->btn3, form_->btn6, form_->btn7})
            QVERIFY(button->isEnabled());
        QVERIFY(form_->Save1->isEnabled());

        // Nothing usable at all: the count stays, the skipped file is told.
        mime.setData("text/uri-list", FileUrl(B(dir.File("trip/notes.txt"))));
        QVERIFY(Drag(form_->lst1->viewport()->mapToGlobal(QPoint(20, 20)), &mime, true).accepted);
        QCOMPARE(form_->lst1->count(), 3);
        QCOMPARE(form_->StatusText(), QStringLiteral("3 Images are ready to export; 1 file skipped"));
        QVERIFY(boxes_->shown.isEmpty());
    }

    void dropCursorRefusesOffersWithoutLocalFiles_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("actions");
        QTest::addColumn<bool>("accepted");
        const int copyOrMove = int(Qt::CopyAction | Qt::MoveAction);
        QTest::newRow("local file") << "text/uri-list" << QByteArray("file:///x/a.jpg") << copyOrMove << true;
        QTest::newRow("local file, link offered too")
            << "text/uri-list" << QByteArray("file:///x/a.jpg") << int(Qt::CopyAction | Qt::LinkAction) << true;
        QTest::newRow("web addresses only") << "text/uri-list" << QByteArray("https://example.org/a.jpg")
                                            << copyOrMove << false;
        QTest::newRow("a file on another host") << "text/uri-list" << QByteArray("file://server/a.jpg") << copyOrMove
                                                << false;
        QTest::newRow("plain text naming a file") << "text/plain" << QByteArray("/x/a.jpg") << copyOrMove << false;
        QTest::newRow("move only: the source would delete the file")
            << "text/uri-list" << QByteArray("file:///x/a.jpg") << int(Qt::MoveAction) << false;
    }
    void dropCursorRefusesOffersWithoutLocalFiles()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, data);
        QFETCH(int, actions);
        QFETCH(bool, accepted);
        QMimeData mime;
        mime.setData(type, data);
        const QPoint over = form_->lst1->viewport()->mapToGlobal(QPoint(20, 20));
        const DragAnswer answer = Drag(over, &mime, false, Qt::DropActions(actions));
        QCOMPARE(answer.accepted, accepted);
        if (accepted)
            QCOMPARE(answer.action, Qt::CopyAction);
        const QString before = form_->StatusText();
        Drag(over, &mime, true, Qt::DropActions(actions));
        QCOMPARE(form_->StatusText() == before, !accepted);
    }

};

int main(int argc, char* argv[])
{
    return RunUnderErrorHandler<MainWindowFileDropTest>(argc, argv);
}

#include "mainwindow_file_drop_test.moc"
