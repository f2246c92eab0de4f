// SPDX-License-Identifier: GPL-2.0-or-later
// Stand-ins for the person at the keyboard: answers to file dialogs and a record of message boxes.
#pragma once

#include "ErrorHandler.h"
#include "FileDialogRunner.h"
#include "ListBoxOnChangeU.h"
#include "ListPaths.h"
#include "frmMain.h"

#include <QFileDialog>
#include <QList>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>

// Answers each dialog with the next scripted list of paths (an empty list cancels) and records
// which dialog was shown and which file name it offered.
class ScriptedDialogs : public FileDialogRunner {
public:
    QList<QStringList> answers;
    QStringList shown;
    QStringList offeredNames;
    std::function<void(QFileDialog&)> inspect;  // sees each dialog as it is shown

    QStringList Run(QFileDialog& dialog) override
    {
        shown << dialog.objectName();
        offeredNames << dialog.selectedFiles().value(0);
        if (inspect)
            inspect(dialog);
        return answers.isEmpty() ? QStringList() : answers.takeFirst();
    }
};

class RecordingBoxes : public MessageBoxes {
public:
    struct Shown {
        QString caption;
        QString text;
    };
    QList<Shown> shown;

    void ShowError(QWidget*, const QString& caption, const QString& text) override { shown.append({caption, text}); }
};

// The window under test, made afresh by Open() in each test function's init(), with no dialog
// answers scripted and no message boxes recorded. Test classes derive from QObject and this.
class MainWindowFixture {
protected:
    explicit MainWindowFixture(std::shared_ptr<RecordingBoxes> boxes) : boxes_(std::move(boxes)) { }

    // `active` waits for the keyboard focus as well, for tests that press shortcuts.
    bool Open(bool active = false)
    {
        boxes_->shown.clear();
        dialogs_ = std::make_shared<ScriptedDialogs>();
        form_ = std::make_unique<TForm1>(dialogs_);
        form_->show();
        if (!active)
            return QTest::qWaitForWindowExposed(form_.get());
        form_->activateWindow();
        return QTest::qWaitForWindowActive(form_.get());
    }

    // The list's items' path bytes, in order.
    QList<QByteArray> ListedPaths() const
    {
        QList<QByteArray> all;
        for (int i = 0; i < form_->lst1->count(); ++i)
            all << PathOf(*form_->lst1->item(i));
        return all;
    }

    std::shared_ptr<RecordingBoxes> boxes_;
    std::shared_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<TForm1> form_;
};

// Runs a test object under the application's own error handler, with message boxes recorded.
// The test class takes the recorder in its constructor.
template <typename Test>
int RunUnderErrorHandler(int argc, char* argv[])
{
    auto boxes = std::make_shared<RecordingBoxes>();
    LeafbindApplication app(argc, argv, boxes);
    Test test(boxes);
    return QTest::qExec(&test, argc, argv);
}
