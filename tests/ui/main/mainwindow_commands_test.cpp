// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's commands driven through its buttons and menu, with scripted file dialogs,
// real files, the real export engine and the application's default error handler.
#include "MainWindowHarness.h"

#include "ListBoxOnChangeU.h"
#include "ListBoxTestKit.h"
#include "ListPaths.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "About.h"
#include "FileDrop.h"
#include "frmMain.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QByteArray B(const std::string& s) { return QByteArray::fromStdString(s); }

// Each page's "/MediaBox [ ... ]" line, in page order.
QList<QByteArray> MediaBoxes(const std::string& pdf)
{
    const QByteArray bytes = B(ReadFileBytes(pdf));
    QList<QByteArray> boxes;
    for (qsizetype at = bytes.indexOf("/MediaBox"); at >= 0; at = bytes.indexOf("/MediaBox", at + 1))
        boxes << bytes.mid(at, bytes.indexOf('\n', at) - at);
    return boxes;
}

}  // namespace

class MainWindowCommandsTest : public QObject, MainWindowFixture {
    Q_OBJECT

public:
    explicit MainWindowCommandsTest(std::shared_ptr<RecordingBoxes> boxes) : MainWindowFixture(std::move(boxes)) {}

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup() { form_.reset(); }

    void startsReady()
    {
        QCOMPARE(form_->StatusText(), QStringLiteral("Ready"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Leafbind 1.0"));
        expectListCommandsEnabled(false);
        for (QToolButton* always : {form_->btn1, form_->btn8, form_->btn4, form_->btn5})
            QVERIFY(always->isEnabled());
        QVERIFY(form_->Add1->isEnabled());
        QVERIFY(form_->Load1->isEnabled());
        QCOMPARE(form_->lst1->DragDropListBox(), form_->lst1);
    }

    void addCountsWithTheirWording()
    {
        TempDir dir;
        dialogs_->answers = {{Q(dir.File("a.jpg"))}, {Q(dir.File("b.jpg")), Q(dir.File("a.jpg"))}, {}};
        click(form_->btn1);
        QCOMPARE(form_->StatusText(), QStringLiteral("1 Image is ready to export"));
        expectListCommandsEnabled(true);
        click(form_->btn1);
        QCOMPARE(form_->StatusText(), QStringLiteral("3 Images are ready to export"));
        // Added in the dialog's order, duplicates included.
        QCOMPARE(items(), QStringList({Q(dir.File("a.jpg")), Q(dir.File("b.jpg")), Q(dir.File("a.jpg"))}));
        // Cancelling still reports the count.
        form_->Add1->trigger();
        QCOMPARE(form_->StatusText(), QStringLiteral("3 Images are ready to export"));
        QCOMPARE(dialogs_->shown, QStringList({"dlgOpen1", "dlgOpen1", "dlgOpen1"}));
    }

    void cancelledAddOnAnEmptyList()
    {
        click(form_->btn1);
        QCOMPARE(form_->StatusText(), QStringLiteral("0 Images are ready to export"));
        expectListCommandsEnabled(false);
    }

    void removeNeedsASelection()
    {
        addPaths({"/x/a.jpg", "/x/b.jpg"});
        form_->lst1->SetItemIndex(-1);
        const QString before = form_->StatusText();
        click(form_->btn2);
        form_->Remove1->trigger();
        QCOMPARE(form_->lst1->count(), 2);
        QCOMPARE(form_->StatusText(), before);
    }

    void removingTheLastItemDisablesListCommands()
    {
        addPaths({"/x/a.jpg", "/x/b.jpg"});
        form_->lst1->SetItemIndex(1);
        form_->Remove1->trigger();
        QCOMPARE(items(), QStringList({"/x/a.jpg"}));
        QCOMPARE(form_->lst1->ItemIndex(), -1);
        QCOMPARE(form_->StatusText(), QStringLiteral("Image removed from list"));
        form_->lst1->SetItemIndex(0);
        click(form_->btn2);
        QCOMPARE(form_->lst1->count(), 0);
        expectListCommandsEnabled(false);
    }

    void keysReorderAndRemove()
    {
        addPaths({"/x/a.jpg", "/x/b.jpg", "/x/c.jpg"});
        TListBox& list = *form_->lst1;
        list.setFocus();
        list.SetItemIndex(0);
        // A move changes neither the count nor the status, as a drag does not.
        QTest::keyClick(&list, Qt::Key_End, Qt::AltModifier);
        QCOMPARE(items(), QStringList({"/x/b.jpg", "/x/c.jpg", "/x/a.jpg"}));
        QCOMPARE(PathsOf(list), (std::vector<std::string> {"/x/b.jpg", "/x/c.jpg", "/x/a.jpg"}));
        QCOMPARE(list.ItemIndex(), 2);
        QCOMPARE(form_->StatusText(), QStringLiteral("3 Images are ready to export"));

        QTest::keyClick(&list, Qt::Key_Delete);
        QCOMPARE(items(), QStringList({"/x/b.jpg", "/x/c.jpg"}));
        QCOMPARE(list.ItemIndex(), -1);
        QCOMPARE(form_->StatusText(), QStringLiteral("Image removed from list"));

        // Without a selection Delete does nothing, as Remove does nothing.
        click(form_->btn6);
        addPaths({"/x/d.jpg"});
        QTest::keyClick(&list, Qt::Key_Delete);
        QCOMPARE(list.count(), 1);
        QCOMPARE(form_->StatusText(), QStringLiteral("1 Image is ready to export"));
        list.SetItemIndex(0);
        QTest::keyClick(&list, Qt::Key_Delete);
        QCOMPARE(list.count(), 0);
        expectListCommandsEnabled(false);
    }

    void removeAndClearEmptyThePreview()
    {
        TempDir dir;
        const std::string jpeg = dir.Write("a.jpg", MakeJpeg({.width = 40, .height = 20}));
        addPaths({Q(jpeg), Q(jpeg)});
        clickItem(1);
        QVERIFY(!form_->img1->pixmap().isNull());
        click(form_->btn2);
        QVERIFY(form_->img1->pixmap().isNull());
        clickItem(0);
        QVERIFY(!form_->img1->pixmap().isNull());
        click(form_->btn6);
        QCOMPARE(form_->lst1->count(), 0);
        QVERIFY(form_->img1->pixmap().isNull());
        QCOMPARE(form_->StatusText(), QStringLiteral("Ready"));
        expectListCommandsEnabled(false);
    }

    void savesAndLoadsTheList()
    {
        TempDir dir;
        const QString list = Q(dir.File("ImagesList.txt"));
        addPaths({"/x/a.jpg", "", "/x/b.jpg"});
        dialogs_->shown.clear();
        dialogs_->answers = {{list}, {list}};
        click(form_->btn7);
        QCOMPARE(form_->StatusText(), QStringLiteral("Images list saved as: ") + list);
        QCOMPARE(ReadFileBytes(list.toStdString()), std::string("/x/a.jpg\r\n\r\n/x/b.jpg\r\n"));

        click(form_->btn6);
        click(form_->btn8);
        QCOMPARE(items(), QStringList({"/x/a.jpg", "", "/x/b.jpg"}));
        QCOMPARE(form_->StatusText(), QStringLiteral("Images list loaded"));
        expectListCommandsEnabled(true);
        QCOMPARE(dialogs_->shown, QStringList({"dlgSave2", "dlgOpen2"}));
        QVERIFY(boxes_->shown.isEmpty());
    }

    void loadingAnEmptyListEmptiesTheList()
    {
        TempDir dir;
        addPaths({"/x/a.jpg"});
        dialogs_->answers = {{Q(dir.Write("empty.txt", ""))}};
        click(form_->btn8);
        QCOMPARE(form_->lst1->count(), 0);
        QCOMPARE(form_->StatusText(), QStringLiteral("Images list loaded"));
        expectListCommandsEnabled(false);
    }

    void failedOrCancelledLoadLeavesListPreviewAndStatesAlone()
    {
        TempDir dir;
        const QString jpeg = Q(dir.Write("a.jpg", MakeJpeg({.width = 40, .height = 20})));
        addPaths({jpeg});
        clickItem(0);
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 40));
        const QString added = form_->StatusText();
        click(form_->btn8);  // cancelled
        QCOMPARE(items(), QStringList({jpeg}));
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 40));
        QCOMPARE(form_->StatusText(), added);
        expectListCommandsEnabled(true);

        form_->lst1->clear();  // the states now lag behind the list, as after a change outside a command
        form_->lst1->AddItem("/x/kept.jpg");
        const QString missing = Q(dir.File("missing.txt"));
        dialogs_->answers = {{missing}};
        const QString status = form_->StatusText();
        click(form_->btn8);
        QCOMPARE(items(), QStringList({"/x/kept.jpg"}));
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 40));
        expectListCommandsEnabled(true);
        QCOMPARE(form_->StatusText(), status);
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown[0].caption, QStringLiteral("Export JPG images to PDF file"));
        QCOMPARE(boxes_->shown[0].text,
                 QStringLiteral("Cannot open file \"") + missing + QStringLiteral("\". No such file or directory."));
    }

    void failedSaveIsReported()
    {
        TempDir dir;
        addPaths({"/x/a.jpg"});
        const QString target = Q(dir.File("no/folder.txt"));
        dialogs_->answers = {{target}};
        const QString status = form_->StatusText();
        form_->Save1->trigger();
        QCOMPARE(form_->StatusText(), status);
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown[0].text,
                 QStringLiteral("Cannot create file \"") + target + QStringLiteral("\". No such file or directory."));
    }

    void createReportsEachOutcome()
    {
        TempDir dir;
        const std::string a = dir.Write("a.jpg", MakeJpeg({.width = 30, .height = 20}));
        const std::string b = dir.Write("b.jpg", MakeJpeg({.width = 10, .height = 40}));
        const std::string notJpeg = dir.Write("c.jpg", "not a picture");
        const QString pdf = Q(dir.File("out.pdf"));

        addPaths({Q(a), Q(notJpeg), Q(b)});
        dialogs_->answers = {{pdf}};
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), QStringLiteral("Problem inserting the image !"));
        QVERIFY(!std::filesystem::exists(pdf.toStdString()));

        delete form_->lst1->takeItem(1);
        dialogs_->answers = {{Q(dir.File("no/folder/out.pdf"))}};
        form_->Create1->trigger();
        QCOMPARE(form_->StatusText(), QStringLiteral("Can not write to output file !"));

        dialogs_->answers = {{pdf}};
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), QStringLiteral("Done, PDF saved as: ") + pdf);
        QVERIFY(ReadFileBytes(pdf.toStdString()).starts_with("%PDF-1.2\n"));

        // The last chosen name is offered again; a cancel changes nothing.
        const int firstSave = int(dialogs_->shown.indexOf("dlgSave1"));
        QCOMPARE(dialogs_->offeredNames[firstSave], QDir::current().absoluteFilePath("Image.pdf"));
        QCOMPARE(dialogs_->offeredNames.last(), Q(dir.File("no/folder/out.pdf")));
        const QString status = form_->StatusText();
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), status);
        QCOMPARE(dialogs_->offeredNames.last(), pdf);

        // Opened fine, every write fails.
        dialogs_->answers = {{QStringLiteral("/dev/full")}};
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), QStringLiteral("Unexpected error !"));
    }

    // The disk fills up half-way (a file size limit here): the chosen name keeps what it had.
    void failedExportLeavesTheOutputAsItWas_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new output") << false;
        QTest::newRow("existing output") << true;
    }
    void failedExportLeavesTheOutputAsItWas()
    {
        QFETCH(bool, existing);
        TempDir dir;
        const std::string big = MakeJpeg({.width = 400, .height = 400, .quality = 100, .gradient = true});
        addPaths({Q(dir.Write("a.jpg", big)), Q(dir.File("a.jpg"))});
        const std::string pdf = existing ? dir.Write("out.pdf", "previous contents") : dir.File("out.pdf");
        dialogs_->answers = {{Q(pdf)}};
        rlimit unlimited{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        const rlimit capped{big.size(), unlimited.rlim_max};
        const auto defaultAction = ::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &capped), 0);
        click(form_->btn3);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        ::signal(SIGXFSZ, defaultAction);
        QCOMPARE(form_->StatusText(), QStringLiteral("Unexpected error !"));
        QCOMPARE(std::filesystem::exists(pdf) ? ReadFileBytes(pdf) : "(none)", existing ? "previous contents" : "(none)");
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), existing ? 2 : 1);
    }

    void longExportShowsPagesWritten()
    {
        TempDir dir;
        const std::string a = dir.Write("a.jpg", MakeJpeg({}));
        addPaths({Q(a), Q(a), Q(a)});
        auto* bar = form_->stat1->findChild<QProgressBar*>("exportProgress");
        QVERIFY(bar);
        QList<std::pair<int, bool>> seen;  // value and visibility while the export runs
        QList<Qt::CursorShape> cursors;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            seen.append({value, bar->isVisible()});
            const QCursor* cursor = QGuiApplication::overrideCursor();
            cursors.append(cursor ? cursor->shape() : Qt::ArrowCursor);
            // The window manager's close request, as the title bar's close box sends it.
            if (value == 1)
                form_->windowHandle()->close();
        });

        form_->SetProgressDelay(0, 0);
        dialogs_->answers = {{Q(dir.File("out.pdf"))}};
        click(form_->btn3);
        QCOMPARE(seen, (QList<std::pair<int, bool>>{{1, true}, {2, true}, {3, true}}));
        QCOMPARE(cursors, (QList<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor}));
        QCOMPARE(bar->maximum(), 3);
        QVERIFY(!bar->isVisible());
        QCOMPARE(form_->StatusText(), QStringLiteral("Done, PDF saved as: ") + Q(dir.File("out.pdf")));
        QVERIFY(form_->isVisible());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        // Once the export is over, the window closes as asked.
        form_->windowHandle()->close();
        QVERIFY(!form_->isVisible());
    }

    // A logout (SIGTERM) closes the window as Exit does; an export running then is ended first:
    // the chosen name keeps its old file and nothing is left beside it.
    void terminationSignalClosesTheWindow_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::newRow("idle") << false;
        QTest::newRow("mid-export") << true;
    }
    void terminationSignalClosesTheWindow()
    {
        QFETCH(bool, exporting);
        TempDir dir;
        const QString a = Q(dir.Write("a.jpg", MakeJpeg({})));
        const std::string pdf = dir.Write("out.pdf", "previous contents");
        form_->EndOnTerminationSignals();
        if (exporting) {
            addPaths({a, a, a});
            auto* bar = form_->stat1->findChild<QProgressBar*>("exportProgress");
            connect(bar, &QProgressBar::valueChanged, this, [](int value) {
                if (value == 1)
                    std::raise(SIGTERM);
            });
            form_->SetProgressDelay(0, 0);
            dialogs_->answers = {{Q(pdf)}};
            click(form_->btn3);
        } else {
            std::raise(SIGTERM);
        }
        QTRY_VERIFY(!form_->isVisible());
        QCOMPARE(ReadFileBytes(pdf), std::string("previous contents"));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    }

    void progressIsPacedByTheClock()
    {
        TempDir dir;
        const QString a = Q(dir.Write("a.jpg", MakeJpeg({})));
        addPaths({a, a, a, a});
        auto* bar = form_->stat1->findChild<QProgressBar*>("exportProgress");
        QList<int> seen;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) { seen << value; });
        // Shown at once, then not again within a minute but for the last page.
        form_->SetProgressDelay(0, 60'000);
        dialogs_->answers = {{Q(dir.File("out.pdf"))}, {Q(dir.File("again.pdf"))}};
        click(form_->btn3);
        click(form_->btn3);
        QCOMPARE(seen, (QList<int> {1, 4, 1, 4}));  // each export starts showing afresh
    }

    void shortExportShowsNoProgress()
    {
        TempDir dir;
        addPaths({Q(dir.Write("a.jpg", MakeJpeg({})))});
        auto* bar = form_->stat1->findChild<QProgressBar*>("exportProgress");
        int changes = 0;
        connect(bar, &QProgressBar::valueChanged, this, [&] { ++changes; });
        form_->SetProgressDelay(60'000);
        dialogs_->answers = {{Q(dir.File("out.pdf"))}};
        click(form_->btn3);
        QCOMPARE(changes, 0);
    }

    void pagesFollowTheOrderAfterADrag()
    {
        TempDir dir;
        const QStringList paths = {Q(dir.Write("a.jpg", MakeJpeg({.width = 30, .height = 20}))),
                                   Q(dir.Write("b.jpg", MakeJpeg({.width = 40, .height = 10}))),
                                   Q(dir.Write("c.jpg", MakeJpeg({.width = 50, .height = 60})))};
        addPaths(paths);
        Pointer pointer;
        pointer.Drag(TwoLists::At(*form_->lst1, 0), TwoLists::At(*form_->lst1, -1), 6);
        QCOMPARE(items(), QStringList({paths[1], paths[2], paths[0]}));

        const QString pdf = Q(dir.File("out.pdf"));
        dialogs_->answers = {{pdf}};
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), QStringLiteral("Done, PDF saved as: ") + pdf);
        const QByteArray bytes = QByteArray::fromStdString(ReadFileBytes(pdf.toStdString()));
        QList<QByteArray> boxes;
        for (qsizetype at = bytes.indexOf("/MediaBox"); at >= 0; at = bytes.indexOf("/MediaBox", at + 1))
            boxes << bytes.mid(at, bytes.indexOf('\n', at) - at);
        QCOMPARE(boxes, (QList<QByteArray>{"/MediaBox [ 0 0 40 10 ]", "/MediaBox [ 0 0 50 60 ]",
                                           "/MediaBox [ 0 0 30 20 ]"}));
    }

    void failedPreviewKeepsThePicture()
    {
        TempDir dir;
        const std::string jpeg = dir.Write("a.jpg", MakeJpeg({.width = 160, .height = 63}));
        addPaths({Q(jpeg), "/x/list.txt"});
        clickItem(0);
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 31));
        clickItem(1);
        QCOMPARE(boxes_->shown.size(), 1);
        // A message ending in a closing parenthesis gets no full stop.
        QCOMPARE(boxes_->shown[0].text, QStringLiteral("Unknown picture file extension (.txt)"));
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 31));
        QCOMPARE(form_->lst1->ItemIndex(), 1);
    }

    void keyboardSelectionShowsItsPreview()
    {
        TempDir dir;
        addPaths({Q(dir.Write("wide.jpg", MakeJpeg({.width = 40, .height = 20}))),
                  Q(dir.Write("tall.jpg", MakeJpeg({.width = 20, .height = 40})))});
        clickItem(0);
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 40));
        QTest::keyClick(form_->lst1, Qt::Key_Down);
        QCOMPARE(form_->lst1->ItemIndex(), 1);
        QCOMPARE(form_->img1->pixmap().size(), QSize(31, 63));
        // Ctrl+Space deselects: nothing to show, nothing to report, the picture stays.
        QTest::keyClick(form_->lst1, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(form_->lst1->ItemIndex(), -1);
        QCOMPARE(form_->img1->pixmap().size(), QSize(31, 63));
        QVERIFY(boxes_->shown.isEmpty());
    }

    void popupActsOnTheItemRightPressed()
    {
        addPaths({"/x/a.txt", "/x/b.txt", "/x/c.txt"});
        form_->lst1->SetItemIndex(0);
        boxes_->shown.clear();
        const QRect rect = form_->lst1->visualItemRect(form_->lst1->item(1));
        bool selectedWhenOpened = false;
        connect(form_->pm1, &QMenu::aboutToShow, this, [&] { selectedWhenOpened = form_->lst1->ItemIndex() == 1; });
        // The press, then the menu request the window system sends with it.
        QTest::mousePress(form_->lst1->viewport(), Qt::RightButton, {}, rect.center());
        QContextMenuEvent request(QContextMenuEvent::Mouse, rect.center(),
                                  form_->lst1->viewport()->mapToGlobal(rect.center()));
        QApplication::sendEvent(form_->lst1->viewport(), &request);
        QTRY_VERIFY(form_->pm1->isVisible());
        QVERIFY(selectedWhenOpened);
        form_->Remove1->trigger();
        form_->pm1->hide();
        QCOMPARE(items(), QStringList({"/x/a.txt", "/x/c.txt"}));
        QCOMPARE(form_->StatusText(), QStringLiteral("Image removed from list"));
    }

    void aboutIsModalAndLeavesTheWindowAlone()
    {
        addPaths({"/x/a.jpg"});
        TAboutBox box(form_.get());
        form_->SetAboutBox(&box);
        const QString status = form_->StatusText();
        QWidget* modalWhileShown = nullptr;
        // Runs inside the box's own loop: the command has not returned yet.
        QTimer::singleShot(0, this, [&] {
            modalWhileShown = QApplication::activeModalWidget();
            box.reject();
        });
        click(form_->btn5);
        QCOMPARE(modalWhileShown, &box);
        QVERIFY(box.isHidden());
        QCOMPARE(items(), QStringList({"/x/a.jpg"}));
        QCOMPARE(form_->StatusText(), status);
        expectListCommandsEnabled(true);
        QVERIFY(form_->isVisible());
    }

    void namesAreShownAsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("bold tags") << "<b>trip</b>.pdf";
        QTest::newRow("ampersands") << "a & b &amp; c.pdf";
        QTest::newRow("image tag") << "<img src=\"/usr/share/pixmaps/debian-logo.png\">.pdf";
        QTest::newRow("angle brackets") << "1 < 2 > 0.pdf";
    }
    void namesAreShownAsWritten()
    {
        QFETCH(QString, name);
        TempDir dir;
        const QString jpeg = Q(dir.Write("a.jpg", MakeJpeg({})));
        const QString pdf = Q(dir.Path()) + QLatin1Char('/') + name;
        std::filesystem::create_directories(std::filesystem::path(pdf.toStdString()).parent_path());
        addPaths({jpeg});
        dialogs_->answers = {{pdf}, {pdf + ".txt"}, {pdf + "/no.txt"}};
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), QStringLiteral("Done, PDF saved as: ") + pdf);
        auto* status = form_->stat1->findChild<QLabel*>();
        QVERIFY(status);
        QCOMPARE(status->text(), QStringLiteral("Done, PDF saved as: ") + pdf);
        QCOMPARE(status->textFormat(), Qt::PlainText);
        click(form_->btn7);
        QCOMPARE(form_->StatusText(), QStringLiteral("Images list saved as: ") + pdf + ".txt");
        click(form_->btn7);
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown[0].text,
                 QStringLiteral("Cannot create file \"") + pdf + QStringLiteral("/no.txt\". Not a directory."));
    }

    void keepsEveryPathByte()
    {
        // Latin-1 names: no UTF-8 text names these files or that folder, only their bytes do.
        TempDir dir;
        const std::string a = dir.Write("caf\xE9.jpg", MakeJpeg({.width = 30, .height = 20}));
        const std::string b = dir.Write("\xFF\xE9 b.jpg", MakeJpeg({.width = 10, .height = 40}));
        const std::string folder = dir.File("out \xE9");
        std::filesystem::create_directory(folder);
        const std::string listBytes = a + "\r\n" + b + "\r\n";
        dialogs_->answers = {{Q(dir.Write("list.txt", listBytes))}};
        click(form_->btn8);
        QCOMPARE(ListedPaths(), (QList<QByteArray>{B(a), B(b)}));

        // The dialogs answer with text that has lost those bytes, as the real ones do.
        dialogs_->answers = {{Q(folder + "/out.pdf")}, {Q(folder + "/again.txt")}};
        click(form_->btn3);
        QCOMPARE(form_->StatusText(), QStringLiteral("Done, PDF saved as: ") + Q(folder + "/out.pdf"));
        QCOMPARE(MediaBoxes(folder + "/out.pdf"),
                 (QList<QByteArray>{"/MediaBox [ 0 0 30 20 ]", "/MediaBox [ 0 0 10 40 ]"}));
        click(form_->btn7);
        QCOMPARE(ReadFileBytes(folder + "/again.txt"), listBytes);

        clickItem(1);
        QCOMPARE(form_->img1->pixmap().size(), QSize(15, 63));
        QVERIFY(boxes_->shown.isEmpty());

        click(form_->btn6);
        addPaths({Q(b)});
        QCOMPARE(ListedPaths(), QList<QByteArray>{B(b)});
    }

    // A name with a line break would load back as two entries. The list is refused before the save
    // dialog asks anything, every such entry named, the first one selected and shown.
    void refusesToSaveANameWithALineBreak_data()
    {
        QTest::addColumn<QStringList>("names"); // files in the test's folder, in list order
        QTest::addColumn<QString>("refusal");   // %1: the test's folder
        QTest::addColumn<int>("selected");
        const QString tail = QStringLiteral(", and a list file holds one name per line.");
        QTest::newRow("one entry") << QStringList {"dropped.jpg", "new\nline.jpg"}
                                   << "Cannot save the list. Entry 2, \"%1/new\\nline.jpg\", has a line break (\\n) in its name"
                                          + tail
                                   << 1;
        QTest::newRow("every entry named")
            << QStringList {"a.jpg", "cr\r.jpg", "b.jpg", "lf\n.jpg", "crlf\r\n.jpg"}
            << "Cannot save the list. Entries 2, 4 and 5 have a line break in their names" + tail << 1;
        QTest::newRow("first and last") << QStringList {"\n.jpg", "a.jpg", "\r.jpg"}
                                        << "Cannot save the list. Entries 1 and 3 have a line break in their names" + tail
                                        << 0;
    }
    void refusesToSaveANameWithALineBreak()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, refusal);
        QFETCH(int, selected);
        TempDir dir;
        const QString list = Q(dir.Write("list.txt", "/x/old.jpg\r\n"));
        DroppedPaths dropped;
        for (const QString& name : names)
            dropped.paths.push_back(B(dir.Write(name.toStdString(), MakeJpeg({}))));
        form_->FilesDropped(0, dropped);
        const QString status = form_->StatusText();
        dialogs_->answers = {{list}};
        click(form_->btn7);
        QCOMPARE(dialogs_->shown, QStringList());
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown[0].text, refusal.arg(Q(dir.Path())));
        QCOMPARE(ReadFileBytes(list.toStdString()), std::string("/x/old.jpg\r\n"));
        QCOMPARE(form_->StatusText(), status);
        QCOMPARE(ListedPaths(), QList<QByteArray>(dropped.paths.begin(), dropped.paths.end()));
        QCOMPARE(form_->lst1->ItemIndex(), selected);
        QCOMPARE(form_->img1->pixmap().size(), QSize(80, 40));
    }

    // Each is refused at once, and the window goes on; a blocking open would hang the test until the alarm.
    void refusesListFilesThatAreNotRegular_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("reason");
        QTest::newRow("load: FIFO with no writer") << "fifo" << false << "Not a regular file";
        QTest::newRow("save: FIFO with no reader") << "fifo" << true << "Not a regular file";
        QTest::newRow("load: device") << "/dev/zero" << false << "Not a regular file";
        QTest::newRow("save: device") << "/dev/zero" << true << "Not a regular file";
        QTest::newRow("load: folder") << "folder" << false << "Is a directory";
        QTest::newRow("save: folder") << "folder" << true << "Is a directory";
    }
    void refusesListFilesThatAreNotRegular()
    {
        QFETCH(QString, kind);
        QFETCH(bool, saving);
        QFETCH(QString, reason);
        TempDir dir;
        QString path = kind;
        if (kind == "fifo") {
            path = Q(dir.File("pipe.txt"));
            QCOMPARE(::mkfifo(dir.File("pipe.txt").c_str(), 0600), 0);
        } else if (kind == "folder") {
            path = Q(dir.Path());
        }
        addPaths({"/x/a.jpg"});
        const QString status = form_->StatusText();
        dialogs_->answers = {{path}};
        ::alarm(20);
        click(saving ? form_->btn7 : form_->btn8);
        ::alarm(0);
        QCOMPARE(boxes_->shown.size(), 1);
        const QString verb = saving ? QStringLiteral("Cannot create file \"") : QStringLiteral("Cannot open file \"");
        QCOMPARE(boxes_->shown[0].text, verb + path + QStringLiteral("\". ") + reason + QStringLiteral("."));
        QCOMPARE(items(), QStringList({"/x/a.jpg"}));
        QCOMPARE(form_->StatusText(), status);

        dialogs_->answers = {{Q(dir.File("list.txt"))}};
        click(form_->btn7);
        QCOMPARE(form_->StatusText(), QStringLiteral("Images list saved as: ") + Q(dir.File("list.txt")));
    }

private:
    void click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void clickItem(int row)
    {
        const QRect rect = form_->lst1->visualItemRect(form_->lst1->item(row));
        QTest::mouseClick(form_->lst1->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void addPaths(const QStringList& paths)
    {
        dialogs_->answers.append(paths);
        click(form_->btn1);
    }

    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < form_->lst1->count(); ++i)
            texts << form_->lst1->item(i)->text();
        return texts;
    }

    void expectListCommandsEnabled(bool enabled)
    {
        for (QToolButton* button : {form_->btn2, form_->btn3, form_->btn6, form_->btn7})
            QVERIFY2(button->isEnabled() == enabled, qPrintable(button->objectName()));
        const QList<QAction*> menu = form_->pm1->actions();
        for (int index : {1, 2, 3, 4})
            QVERIFY2(menu[index]->isEnabled() == enabled, qPrintable(menu[index]->objectName()));
    }

};

int main(int argc, char* argv[])
{
    return RunUnderErrorHandler<MainWindowCommandsTest>(argc, argv);
}

#include "mainwindow_commands_test.moc"
