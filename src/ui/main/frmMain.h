// SPDX-License-Identifier: GPL-2.0-or-later
// The main window: the image list, its eight commands, the preview and the status line.
#pragma once

#include <QWidget>

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class FileDialogRunner;
struct DroppedPaths;
class QFileDialog;
class QAction;
class QCloseEvent;
class QElapsedTimer;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QStatusBar;
class QToolButton;
class QUndoStack;
class PreviewFrame;
class TAboutBox;
class TListBox;
class TerminationSignals;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // dialogs: how the file dialogs are shown; null means the real modal dialogs.
    explicit TForm1(std::shared_ptr<FileDialogRunner> dialogs = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // From now on SIGTERM, SIGINT and SIGHUP (a logout, say) close the window as Exit does; an
    // export running then is ended first, leaving the chosen name as it was.
    void EndOnTerminationSignals();
    // The termination signal that has come since, 0 while none has: the program ends by it once
    // the window has closed, as a program that signal ends.
    int TerminationSignal() const;

    // The About command shows this box; the application creates it after the window.
    void SetAboutBox(TAboutBox* box) { aboutBox_ = box; }

    QString StatusText() const;

    // How long an export runs before its progress shows in the status bar, and how often the bar
    // is brought up to date from then on (the last page always shows).
    void SetProgressDelay(int milliseconds, int intervalMilliseconds = 100)
    {
        progressDelayMs_ = milliseconds;
        progressIntervalMs_ = intervalMilliseconds;
    }

    // Commands. Errors (a list file that cannot be read or written, a picture that cannot be
    // shown) are not caught here: they go to the application's default error handler.
    void FormCreate();
    void btn1Click();    // Add
    void btn2Click();    // Remove
    void Remove1Click(); // Remove, from the popup menu
    void btn3Click();    // Create
    void btn4Click();    // Exit
    void btn5Click();    // About
    void btn6Click();    // Clear
    void btn7Click();    // Save list
    void btn8Click();    // Load list
    void lst1Click();    // show the selected file's preview
    void UpdateCommandStates();
    // Ctrl+Z undoes the last change to the list; Ctrl+Shift+Z and Ctrl+Y redo it.
    void Undo();
    void Redo();
    QUndoStack* UndoHistory() const { return undo_; }
    // Files dropped from another program: inserted before `row` (at the end when row is the
    // count), then the states and the status as after Add.
    void FilesDropped(int row, const DroppedPaths& jpegFiles);

    // The window's controls, named as in its layout.
    QFrame* pnl1 = nullptr;
    QToolButton* btn1 = nullptr;
    QToolButton* btn2 = nullptr;
    QToolButton* btn3 = nullptr;
    QToolButton* btn6 = nullptr;
    QToolButton* btn7 = nullptr;
    QToolButton* btn8 = nullptr;
    PreviewFrame* Panel1 = nullptr;
    QLabel* img1 = nullptr;
    QToolButton* btn5 = nullptr;
    QToolButton* btn4 = nullptr;
    QFrame* pnl2 = nullptr;
    TListBox* lst1 = nullptr;
    QStatusBar* stat1 = nullptr;
    QMenu* pm1 = nullptr;
    QAction* Add1 = nullptr;
    QAction* Remove1 = nullptr;
    QAction* Create1 = nullptr;
    QAction* Clear1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Load1 = nullptr;
    // The file dialogs' settings. A dialog exists only while it is shown: a file dialog watches
    // every folder it has listed and reads it again on each change, so one kept for later would
    // keep reading the output's folder (thousands of photos, say) all through an export.
    struct FileDialogSettings {
        const char* name;
        const char* title;
        const char* filter;  // the pattern in parentheses filters; only the display text is shown
        const char* suffix;
        bool saves;
        bool severalFiles;
        bool showHidden;
        QString offered;  // the name it offers: the last one chosen within this run
        QString folder;   // the folder it was last left in, chosen or cancelled
    };
    FileDialogSettings dlgOpen1 {"dlgOpen1", "Select images", "JPEG Files *.jpeg, *.jpg (*.jpg *.jpeg)", "jpg",
                                 false, true, true, {}, {}};
    FileDialogSettings dlgSave1 {"dlgSave1", "Save as", "Acrobat Reader File *.pdf (*.pdf)", "pdf", true, false,
                                 false, QStringLiteral("Image.pdf"), {}};
    FileDialogSettings dlgSave2 {"dlgSave2", "Save List as", "Text Files *.txt (*.txt)", "txt", true, false, true,
                                 QStringLiteral("ImagesList.txt"), {}};
    // The list dialog takes a typed name that does not exist; loading it then reports the error.
    FileDialogSettings dlgOpen2 {"dlgOpen2", "Load images list", "Text Files *.txt (*.txt)", "txt", false, false,
                                 true, {}, {}};

protected:
    // A close request while an export runs is ignored: the export finishes and reports its outcome.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout();
    void BuildPopupMenu();
    void ConnectCommands();
    QToolButton* AddCommandButton(const char* name, const char* caption, const char* hint, const char* glyph);
    // Shows a dialog; returns the chosen paths as the bytes of the files they name, none when cancelled.
    QList<QByteArray> RunDialog(FileDialogSettings& settings);
    void SetStatusText(const QString& text);
    QString ReadyToExportText() const;
    void ClearPreview();
    // The picture of an item the window selected itself (an undo, a refused save). One that cannot
    // be shown leaves the preview empty: no message box for a file the user did not click.
    void ShowSelectedPreview();
    void ShowExportProgress(int pagesWritten, int pageCount, const QElapsedTimer& clock);
    void BuildUndo();
    void ReplayStep(void (QUndoStack::*replay)(), const QString& status);
    // Records a change already made: rows [row, row + removed.size()) held `removed` and now hold
    // the paths of the next `inserted` rows. Nothing is recorded when nothing changed.
    void RecordSplice(const char* text, int row, std::vector<QByteArray> removed, int inserted);

    std::shared_ptr<FileDialogRunner> dialogs_;
    QUndoStack* undo_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    QLabel* statusText_ = nullptr;
    QProgressBar* exportProgress_ = nullptr;
    int progressDelayMs_ = 500;
    int progressIntervalMs_ = 100;
    qint64 nextProgressAtMs_ = 0;
    bool exporting_ = false;
    TerminationSignals* terminationSignals_ = nullptr;
};
