// SPDX-License-Identifier: GPL-2.0-or-later
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y over every kind of change to the list, pressed as a user does.
#include "MainWindowHarness.h"

#include "FileDrop.h"
#include "ListBoxOnChangeU.h"
#include "ListBoxTestKit.h"
#include "ListPaths.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "frmMain.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

class MainWindowUndoTest : public QObject, MainWindowFixture {
    Q_OBJECT

public:
    explicit MainWindowUndoTest(std::shared_ptr<RecordingBoxes> boxes) : MainWindowFixture(std::move(boxes)) {}

private slots:
    void init() { QVERIFY(Open(true)); }
    void cleanup() { form_.reset(); }

    // Steps: "add a b" (Add), "drop 1 c" (dropped before row 1), "remove 1", "clear", "load a b",
    // "keys 0 end" (row 0, Alt+End), "drag 0 2" (pointer), "undo" (Ctrl+Z), "redo" (Ctrl+Y),
    // "adds 100" (100 separate adds). Then `undos` Ctrl+Z and `redos` Ctrl+Shift+Z.
    void undoAndRedo_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("undos");
        QTest::addColumn<int>("redos");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("listCommands");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("status");
        QTest::newRow("add undone") << QStringList {"add a b"} << 1 << 0 << "" << false << -1 << "Add undone";
        QTest::newRow("add redone") << QStringList {"add a b"} << 1 << 1 << "a b" << true << 0 << "Add redone";
        QTest::newRow("drop undone") << QStringList {"add a b", "drop 1 c d"} << 1 << 0 << "a b" << true << 1
                                     << "Drop undone";
        QTest::newRow("drop redone") << QStringList {"add a b", "drop 1 c d"} << 1 << 1 << "a c d b" << true << 1
                                     << "Drop redone";
        QTest::newRow("remove undone") << QStringList {"add a b c", "remove 1"} << 1 << 0 << "a b c" << true << 1
                                       << "Remove undone";
        QTest::newRow("remove redone") << QStringList {"add a b c", "remove 1"} << 1 << 1 << "a c" << true << 1
                                       << "Remove redone";
        QTest::newRow("last remove undone")
            << QStringList {"add a", "remove 0"} << 1 << 0 << "a" << true << 0 << "Remove undone";
        QTest::newRow("clear undone") << QStringList {"add a b", "clear"} << 1 << 0 << "a b" << true << 0
                                      << "Clear undone";
        QTest::newRow("clear redone") << QStringList {"add a b", "clear"} << 1 << 1 << "" << false << -1
                                      << "Clear redone";
        QTest::newRow("load undone") << QStringList {"add a b", "load c d e"} << 1 << 0 << "a b" << true << 0
                                     << "Load list undone";
        QTest::newRow("load redone") << QStringList {"add a b", "load c d e"} << 1 << 1 << "c d e" << true << 0
                                     << "Load list redone";
        QTest::newRow("load and add undone")
            << QStringList {"add a b", "load c d e"} << 2 << 0 << "" << false << -1 << "Add undone";
        QTest::newRow("move by keys undone")
            << QStringList {"add a b c", "keys 0 end"} << 1 << 0 << "a b c" << true << 0 << "Move undone";
        QTest::newRow("move by keys redone")
            << QStringList {"add a b c", "keys 0 end"} << 1 << 1 << "b c a" << true << 2 << "Move redone";
        QTest::newRow("drag down undone")
            << QStringList {"add a b c", "drag 0 2"} << 1 << 0 << "a b c" << true << 0 << "Move undone";
        QTest::newRow("drag up redone") << QStringList {"add a b c", "drag 2 0"} << 1 << 1 << "c a b" << true << 0
                                        << "Move redone";
        QTest::newRow("drag onto itself is no step")
            << QStringList {"add a b", "drag 0 0"} << 1 << 0 << "" << false << -1 << "Add undone";
        QTest::newRow("every kind, all undone")
            << QStringList {"add a b c", "drop 0 d", "remove 1", "keys 0 end", "drag 0 1", "load e", "clear"} << 7 << 0
            << "" << false << -1 << "Add undone";
        QTest::newRow("every kind, undone and redone")
            << QStringList {"add a b c", "drop 0 d", "remove 1", "keys 0 end", "drag 0 1", "load e f", "remove 0"} << 7
            << 6 << "e f" << true << 0 << "Load list redone";
        QTest::newRow("Ctrl+Y redoes") << QStringList {"add a b", "remove 0", "undo", "redo"} << 0 << 0 << "b" << true
                                       << 0 << "Remove redone";
        QTest::newRow("removing the last item redone")
            << QStringList {"add a b", "remove 1", "undo", "redo"} << 0 << 0 << "a" << true << 0 << "Remove redone";
        QTest::newRow("a new step clears redo") << QStringList {"add a", "add b", "undo", "add c"} << 0 << 1 << "a c"
                                                << true << 0 << "Nothing to redo";
        QTest::newRow("undo past the first step does nothing")
            << QStringList {"add a"} << 3 << 0 << "" << false << -1 << "Nothing to undo";
        QTest::newRow("nothing to undo at start") << QStringList {} << 1 << 0 << "" << false << -1 << "Nothing to undo";
        QTest::newRow("redo past the last step does nothing")
            << QStringList {"add a b"} << 1 << 2 << "a b" << true << 0 << "Nothing to redo";
        QTest::newRow("a cancelled add is no step")
            << QStringList {"add a", "add"} << 1 << 0 << "" << false << -1 << "Add undone";
        QTest::newRow("100 steps deep") << QStringList {"adds 100"} << 100 << 0 << "" << false << -1 << "Add undone";
        QTest::newRow("the last 100 steps are kept")
            << QStringList {"add a", "adds 99", "clear"} << 101 << 0 << "a" << true << 0 << "Nothing to undo";
    }
    void undoAndRedo()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, undos);
        QFETCH(int, redos);
        QFETCH(QString, expected);
        QFETCH(bool, listCommands);
        QFETCH(int, selected);
        QFETCH(QString, status);

        for (const QString& step : steps)
            Run(step.split(u' '));
        for (int i = 0; i < undos; ++i)
            QTest::keyClick(form_.get(), Qt::Key_Z, Qt::ControlModifier);
        for (int i = 0; i < redos; ++i)
            QTest::keyClick(form_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);

        QList<QByteArray> wanted;
        for (const QString& letter : expected.split(u' ', Qt::SkipEmptyParts))
            wanted << PathFor(letter);
        QCOMPARE(ListedPaths(), wanted);
        for (QToolButton* button : {form_->btn2, form_->btn3, form_->btn6, form_->btn7})
            QCOMPARE(button->isEnabled(), listCommands);
        for (QAction* item : {form_->Remove1, form_->Create1, form_->Clear1, form_->Save1})
            QCOMPARE(item->isEnabled(), listCommands);
        QCOMPARE(form_->lst1->ItemIndex(), selected);
        // The selected item's picture (16 x 8) is shown, fitted to the preview; nothing else is.
        QCOMPARE(form_->img1->pixmap().size(), selected < 0 ? QSize(0, 0) : QSize(80, 40));
        QCOMPARE(form_->StatusText(), status);
        QVERIFY(boxes_->shown.isEmpty());
    }

private:
    // "a" stands for the picture a.jpg in the test's folder (a press on an item shows its preview).
    QByteArray PathFor(const QString& letter)
    {
        const std::string name = letter.toStdString() + ".jpg";
        if (!std::filesystem::exists(dir_.File(name)))
            dir_.Write(name, MakeJpeg({}));
        return QByteArray::fromStdString(dir_.File(name));
    }

    void Run(QStringList words)
    {
        const QString verb = words.takeFirst();
        TListBox& list = *form_->lst1;
        if (verb == "add") {
            QStringList answer;
            for (const QString& letter : words)
                answer << QString::fromUtf8(PathFor(letter));
            dialogs_->answers.append(answer);
            QTest::mouseClick(form_->btn1, Qt::LeftButton);
        } else if (verb == "adds") {
            for (int i = 0; i < words[0].toInt(); ++i)
                Run({"add", QStringLiteral("p%1").arg(i)});
        } else if (verb == "drop") {
            DroppedPaths dropped;
            for (const QString& letter : words.mid(1))
                dropped.paths.push_back(PathFor(letter));
            form_->FilesDropped(words[0].toInt(), dropped);
        } else if (verb == "remove") {
            list.SetItemIndex(words[0].toInt());
            QTest::mouseClick(form_->btn2, Qt::LeftButton);
        } else if (verb == "clear") {
            QTest::mouseClick(form_->btn6, Qt::LeftButton);
        } else if (verb == "load") {
            std::string bytes;
            for (const QString& letter : words)
                bytes += PathFor(letter).toStdString() + "\r\n";
            dialogs_->answers.append({QString::fromStdString(dir_.Write("list.txt", bytes))});
            QTest::mouseClick(form_->btn8, Qt::LeftButton);
        } else if (verb == "keys") {
            list.setFocus();
            list.SetItemIndex(words[0].toInt());
            QTest::keyClick(&list, words[1] == "end" ? Qt::Key_End : Qt::Key_Home, Qt::AltModifier);
        } else if (verb == "drag") {
            Pointer pointer;
            pointer.Drag(TwoLists::At(list, words[0].toInt()), TwoLists::At(list, words[1].toInt()), 6);
        } else if (verb == "undo") {
            QTest::keyClick(form_.get(), Qt::Key_Z, Qt::ControlModifier);
        } else if (verb == "redo") {
            QTest::keyClick(form_.get(), Qt::Key_Y, Qt::ControlModifier);
        } else {
            QFAIL(qPrintable("unknown step " + verb));
        }
    }

    TempDir dir_;
};

int main(int argc, char* argv[]) { return RunUnderErrorHandler<MainWindowUndoTest>(argc, argv); }

#include "mainwindow_undo_test.moc"
