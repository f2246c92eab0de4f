// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's layout: names, sizes, order, captions, hints and the popup menu.
#include "MainWindowHarness.h"

#include "FileDrop.h"
#include "ListBoxOnChangeU.h"
#include "PreviewFrame.h"
#include "frmMain.h"

#include <QAccessible>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

class MainWindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        form_ = std::make_unique<TForm1>(std::make_shared<ScriptedDialogs>());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void windowAndPanels()
    {
        QCOMPARE(form_->objectName(), QStringLiteral("Form1"));
        QCOMPARE(form_->size(), QSize(617, 310));
        // Centred on the desktop by its outer frame, which the platform reports here too.
        const QRect desktop = form_->screen()->availableGeometry();
        const QRect frame = form_->frameGeometry();
        QVERIFY(frame.size() != form_->size());
        QCOMPARE(frame.left() - desktop.left(), (desktop.width() - frame.width()) / 2);
        QCOMPARE(frame.top() - desktop.top(), (desktop.height() - frame.height()) / 2);
        QCOMPARE(form_->minimumWidth(), 617);
        QCOMPARE(form_->font().pixelSize(), 11);
        QCOMPARE(form_->pnl1->geometry(), QRect(0, 0, 617, 73));
        QCOMPARE(form_->stat1->geometry(), QRect(0, 310 - 19, 617, 19));
        QCOMPARE(form_->pnl2->geometry(), QRect(0, 73, 617, 310 - 73 - 19));
        QCOMPARE(form_->lst1->parentWidget(), form_->pnl2);
        QCOMPARE(form_->lst1->geometry(), form_->pnl2->rect());
        QCOMPARE(form_->lst1->toolTip(), QStringLiteral("Images list, drag and drop to set order"));
        QCOMPARE(form_->lst1->selectionMode(), QAbstractItemView::SingleSelection);
        // Assistive technology announces a window, and says what the list holds.
        QCOMPARE(QAccessible::queryAccessibleInterface(form_.get())->role(), QAccessible::Window);
        QCOMPARE(QAccessible::queryAccessibleInterface(form_->lst1)->text(QAccessible::Name),
                 QStringLiteral("Images to export"));
    }

    void toolButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Add") << "btn1" << 4 << "Add..." << "Add JPG images to list";
        QTest::newRow("Remove") << "btn2" << 70 << "Remove" << "Remove selected image from list";
        QTest::newRow("Create") << "btn3" << 136 << "Create..." << "Export images to PDF";
        QTest::newRow("Clear") << "btn6" << 202 << "Clear" << "Clear all fields";
        QTest::newRow("Save") << "btn7" << 268 << "Save..." << "Save images list";
        QTest::newRow("Load") << "btn8" << 334 << "Load..." << "Load images list";
        QTest::newRow("About") << "btn5" << 617 - 1 - 3 - 60 - 6 - 60 << "About..." << "About Leafbind";
        QTest::newRow("Exit") << "btn4" << 617 - 1 - 3 - 60 << "Exit" << "Exit Leafbind";
    }
    void toolButtons()
    {
        QFETCH(QString, name);
        QFETCH(int, left);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        auto* button = form_->pnl1->findChild<QToolButton*>(name);
        QVERIFY(button);
        // Three pixels of margin inside the panel's one-pixel bevel, six between neighbours.
        QCOMPARE(button->geometry(), QRect(left, 4, 60, 65));
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Description), hint);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(button->iconSize(), QSize(32, 32));
        QVERIFY(!button->icon().pixmap(32, 32).isNull());
    }

    void previewFrame()
    {
        QCOMPARE(form_->Panel1->objectName(), QStringLiteral("Panel1"));
        QCOMPARE(form_->Panel1->geometry(), QRect(400, 4, 82, 65));
        QCOMPARE(form_->img1->objectName(), QStringLiteral("img1"));
        QCOMPARE(form_->img1->geometry(), QRect(1, 1, 80, 63));
        QCOMPARE(form_->img1->toolTip(), QStringLiteral("Image preview"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form_->img1)->text(QAccessible::Name),
                 QStringLiteral("Image Preview"));
        // The caption is painted on the frame, behind the picture, in grey.
        const QImage frame = form_->Panel1->grab().toImage();
        bool grey = false;
        for (int y = 0; y < frame.height() && !grey; ++y)
            for (int x = 0; x < frame.width() && !grey; ++x)
                grey = frame.pixelColor(x, y) == QColor(200, 200, 200);
        QVERIFY(grey);
    }

    void popupMenu_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Add") << 0 << "Add1" << "Add..." << "Add images to list";
        QTest::newRow("Remove") << 1 << "Remove1" << "Remove" << "Remove selected image from list";
        QTest::newRow("Create") << 2 << "Create1" << "Create..." << "Create PDF file";
        QTest::newRow("Clear") << 3 << "Clear1" << "Clear" << "Clear all fields";
        QTest::newRow("Save") << 4 << "Save1" << "Save..." << "Save images list to a text file";
        QTest::newRow("Load") << 5 << "Load1" << "Load..." << "Load images list from a text file";
    }
    void popupMenu()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QCOMPARE(form_->pm1->objectName(), QStringLiteral("pm1"));
        const QList<QAction*> items = form_->pm1->actions();
        QCOMPARE(items.size(), 6);
        QCOMPARE(items[index]->objectName(), name);
        QCOMPARE(items[index]->text(), caption);
        QCOMPARE(items[index]->toolTip(), hint);
        QVERIFY(!items[index]->icon().isNull());
        QVERIFY(form_->pm1->toolTipsVisible());
        QCOMPARE(form_->pm1->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, form_->pm1), 32);
    }

    void fileDialogs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("initialName");
        QTest::addColumn<bool>("saves");
        QTest::addColumn<bool>("severalFiles");
        QTest::addColumn<bool>("hiddenShown");
        QTest::newRow("add") << "dlgOpen1" << "Select images" << "JPEG Files *.jpeg, *.jpg (*.jpg *.jpeg)" << "jpg"
                             << "" << false << true << true;
        QTest::newRow("create") << "dlgSave1" << "Save as" << "Acrobat Reader File *.pdf (*.pdf)" << "pdf"
                                << "Image.pdf" << true << false << false;
        QTest::newRow("save list") << "dlgSave2" << "Save List as" << "Text Files *.txt (*.txt)" << "txt"
                                   << "ImagesList.txt" << true << false << true;
        QTest::newRow("load list") << "dlgOpen2" << "Load images list" << "Text Files *.txt (*.txt)" << "txt"
                                   << "" << false << false << true;
    }
    void fileDialogs()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(QString, suffix);
        QFETCH(QString, initialName);
        QFETCH(bool, saves);
        QFETCH(bool, severalFiles);
        QFETCH(bool, hiddenShown);
        // Each dialog exists while it is shown: its command opens it, and it is gone afterwards.
        auto dialogs = std::make_shared<ScriptedDialogs>();
        form_ = std::make_unique<TForm1>(dialogs);
        form_->FilesDropped(0, DroppedPaths {{"/x/a.jpg"}, 0});  // Create and Save need an item
        bool seen = false;
        dialogs->inspect = [&](QFileDialog& shown) {
            if (shown.objectName() != name)
                return;
            seen = true;
            QCOMPARE(shown.windowTitle(), title);
            QCOMPARE(shown.nameFilters(), QStringList {filter});
            // The first filter is selected; its pattern in parentheses is not shown.
            QCOMPARE(shown.selectedNameFilter(), filter.left(filter.lastIndexOf(" (")));
            QVERIFY(shown.testOption(QFileDialog::HideNameFilterDetails));
            QCOMPARE(shown.defaultSuffix(), suffix);
            const QFileInfo offered(shown.selectedFiles().value(0));
            if (initialName.isEmpty())
                QVERIFY(offered.fileName().isEmpty() || offered.isDir());
            else
                QCOMPARE(offered.fileName(), initialName);
            QCOMPARE(shown.acceptMode(), saves ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            QCOMPARE(shown.fileMode() == QFileDialog::ExistingFiles, severalFiles);
            QCOMPARE(shown.filter().testFlag(QDir::Hidden), hiddenShown);
            QVERIFY(!shown.testOption(QFileDialog::DontConfirmOverwrite));
            QVERIFY(shown.isSizeGripEnabled());
        };
        for (QToolButton* command : {form_->btn1, form_->btn3, form_->btn7, form_->btn8})
            QTest::mouseClick(command, Qt::LeftButton);
        QVERIFY(seen);
        QVERIFY(form_->findChildren<QFileDialog*>().isEmpty());
    }

private:
    std::unique_ptr<TForm1> form_;
};

QTEST_MAIN(MainWindowLayoutTest)
#include "mainwindow_layout_test.moc"
