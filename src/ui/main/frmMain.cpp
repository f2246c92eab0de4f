// SPDX-License-Identifier: GPL-2.0-or-later
#include "frmMain.h"

#include "About.h"
#include "AppFonts.h"
#include "AppTitle.h"
#include "DialogPathBytes.h"
#include "ErrorHandler.h"
#include "FramePlacement.h"
#include "FileDialogRunner.h"
#include "FileDropArea.h"
#include "ImageListFile.h"
#include "LargeMenuIconStyle.h"
#include "ListBoxOnChangeU.h"
#include "ListPaths.h"
#include "ListUndo.h"
#include "PicturePreview.h"
#include "PreviewFrame.h"
#include "TerminationSignals.h"
#include "WindowAccessibility.h"

#include <jpeg2pdf.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kClientWidth = 617;
constexpr int kClientHeight = 310;
constexpr int kToolPanelHeight = 73;
constexpr int kStatusBarHeight = 19;
constexpr int kButtonMargin = 3;
const QSize kButtonSize(60, 65);
const QSize kGlyphSize(32, 32);
const QSize kPreviewFrameSize(82, 65);
const QSize kPreviewSize(80, 63);
constexpr int kListItemHeight = 13;
// How many changes to the list Ctrl+Z can take back.
constexpr int kUndoSteps = 100;

QIcon Glyph(const char* name) { return QIcon(QStringLiteral(":/glyphs/%1.png").arg(QString::fromLatin1(name))); }

// A dialog as the settings describe it, opening in the folder it was last left in.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const TForm1::FileDialogSettings& settings)
{
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromLatin1(settings.title));
    dialog->setObjectName(QString::fromLatin1(settings.name));
    dialog->setAcceptMode(settings.saves ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(settings.severalFiles ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    dialog->setNameFilter(QString::fromLatin1(settings.filter));
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setDefaultSuffix(QString::fromLatin1(settings.suffix));
    dialog->setSizeGripEnabled(true);
    if (settings.showHidden)
        dialog->setFilter(dialog->filter() | QDir::Hidden);
    if (!settings.folder.isEmpty())
        dialog->setDirectory(settings.folder);
    // A first offered name lies in the working folder, as when the dialogs were made at start.
    if (!settings.offered.isEmpty())
        dialog->selectFile(QDir::current().absoluteFilePath(settings.offered));
    return dialog;
}

}  // namespace

TForm1::TForm1(std::shared_ptr<FileDialogRunner> dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_shared<QtFileDialogRunner>())
{
    setObjectName(QStringLiteral("Form1"));
    RegisterWindowAccessibility();
    setWindowTitle(QString::fromLatin1(kProductCaption));
    setWindowIcon(QIcon(QStringLiteral(":/icons/leafbind.png")));
    setFont(AppFont(QStringLiteral("Tahoma"), 11));
    BuildLayout();
    BuildPopupMenu();
    ConnectCommands();
    BuildUndo();
    new FileDropArea(this, lst1, [this](int row, const DroppedPaths& jpegFiles) {
        RunGuarded([&] { FilesDropped(row, jpegFiles); });
    });

    // The window's frame adds to the client width; the client never gets narrower than at start.
    setMinimumWidth(kClientWidth);
    resize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        CentreByFrame(this, screen->availableGeometry());
    FormCreate();
}

TForm1::~TForm1() = default;

QToolButton* TForm1::AddCommandButton(const char* name, const char* caption, const char* hint, const char* glyph)
{
    auto* button = new QToolButton(pnl1);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setToolTip(QString::fromLatin1(hint));
    button->setAccessibleDescription(QString::fromLatin1(hint));
    button->setIcon(Glyph(glyph));
    button->setIconSize(kGlyphSize);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(kButtonSize);
    return button;
}

void TForm1::BuildLayout()
{
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);

    pnl1 = new QFrame(this);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    pnl1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnl1->setFixedHeight(kToolPanelHeight);
    auto* tools = new QHBoxLayout(pnl1);
    tools->setContentsMargins(kButtonMargin, kButtonMargin, kButtonMargin, kButtonMargin);
    tools->setSpacing(2 * kButtonMargin);

    btn1 = AddCommandButton("btn1", "Add...", "Add JPG images to list", "add");
    btn2 = AddCommandButton("btn2", "Remove", "Remove selected image from list", "remove");
    btn3 = AddCommandButton("btn3", "Create...", "Export images to PDF", "create");
    btn6 = AddCommandButton("btn6", "Clear", "Clear all fields", "clear");
    btn7 = AddCommandButton("btn7", "Save...", "Save images list", "save");
    btn8 = AddCommandButton("btn8", "Load...", "Load images list", "load");
    btn5 = AddCommandButton("btn5", "About...", "About Leafbind", "about");
    btn4 = AddCommandButton("btn4", "Exit", "Exit Leafbind", "exit");

    Panel1 = new PreviewFrame(QStringLiteral("Image Preview"), pnl1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedSize(kPreviewFrameSize);
    img1 = new QLabel(Panel1);
    img1->setObjectName(QStringLiteral("img1"));
    img1->setGeometry(QRect(QPoint(1, 1), kPreviewSize));
    img1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    img1->setToolTip(QStringLiteral("Image preview"));
    img1->setAccessibleName(QStringLiteral("Image Preview"));

    for (QWidget* left : {static_cast<QWidget*>(btn1), static_cast<QWidget*>(btn2), static_cast<QWidget*>(btn3),
                          static_cast<QWidget*>(btn6), static_cast<QWidget*>(btn7), static_cast<QWidget*>(btn8),
                          static_cast<QWidget*>(Panel1)})
        tools->addWidget(left, 0, Qt::AlignTop);
    tools->addStretch(1);
    tools->addWidget(btn5, 0, Qt::AlignTop);
    tools->addWidget(btn4, 0, Qt::AlignTop);
    window->addWidget(pnl1);

    pnl2 = new QFrame(this);
    pnl2->setObjectName(QStringLiteral("pnl2"));
    auto* listArea = new QVBoxLayout(pnl2);
    listArea->setContentsMargins(0, 0, 0, 0);
    lst1 = new TListBox(pnl2);
    lst1->setObjectName(QStringLiteral("lst1"));
    lst1->SetItemHeight(kListItemHeight);
    lst1->setToolTip(QStringLiteral("Images list, drag and drop to set order"));
    lst1->setAccessibleName(QStringLiteral("Images to export"));
    lst1->setAccessibleDescription(lst1->toolTip());
    lst1->setSelectionMode(QAbstractItemView::SingleSelection);
    listArea->addWidget(lst1);
    window->addWidget(pnl2, 1);

    stat1 = new QStatusBar(this);
    stat1->setObjectName(QStringLiteral("stat1"));
    stat1->setFixedHeight(kStatusBarHeight);
    statusText_ = new QLabel(stat1);
    // The status line carries file names and system messages: shown as written, never as markup.
    statusText_->setTextFormat(Qt::PlainText);
    stat1->addWidget(statusText_, 1);
    exportProgress_ = new QProgressBar(stat1);
    exportProgress_->setObjectName(QStringLiteral("exportProgress"));
    exportProgress_->setMaximumWidth(200);
    exportProgress_->setFormat(QStringLiteral("%v / %m"));
    exportProgress_->hide();
    stat1->addPermanentWidget(exportProgress_);
    window->addWidget(stat1);
}

void TForm1::BuildPopupMenu()
{
    pm1 = new QMenu(this);
    pm1->setObjectName(QStringLiteral("pm1"));
    pm1->setToolTipsVisible(true);
    auto* style = new LargeMenuIconStyle(kGlyphSize.width());
    style->setParent(pm1);
    pm1->setStyle(style);

    auto addItem = [this](const char* name, const char* caption, const char* hint, const char* glyph) {
        QAction* action = pm1->addAction(Glyph(glyph), QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(QString::fromLatin1(hint));
        return action;
    };
    Add1 = addItem("Add1", "Add...", "Add images to list", "add");
    Remove1 = addItem("Remove1", "Remove", "Remove selected image from list", "remove");
    Create1 = addItem("Create1", "Create...", "Create PDF file", "create");
    Clear1 = addItem("Clear1", "Clear", "Clear all fields", "clear");
    Save1 = addItem("Save1", "Save...", "Save images list to a text file", "save");
    Load1 = addItem("Load1", "Load...", "Load images list from a text file", "load");

    lst1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lst1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pm1->popup(lst1->viewport()->mapToGlobal(pos)); });
}

void TForm1::ConnectCommands()
{
    auto guarded = [this](void (TForm1::*command)()) {
        return [this, command] { RunGuarded([this, command] { (this->*command)(); }); };
    };
    connect(btn1, &QToolButton::clicked, this, guarded(&TForm1::btn1Click));
    connect(btn2, &QToolButton::clicked, this, guarded(&TForm1::btn2Click));
    connect(btn3, &QToolButton::clicked, this, guarded(&TForm1::btn3Click));
    connect(btn4, &QToolButton::clicked, this, guarded(&TForm1::btn4Click));
    connect(btn5, &QToolButton::clicked, this, guarded(&TForm1::btn5Click));
    connect(btn6, &QToolButton::clicked, this, guarded(&TForm1::btn6Click));
    connect(btn7, &QToolButton::clicked, this, guarded(&TForm1::btn7Click));
    connect(btn8, &QToolButton::clicked, this, guarded(&TForm1::btn8Click));
    connect(Add1, &QAction::triggered, this, guarded(&TForm1::btn1Click));
    connect(Remove1, &QAction::triggered, this, guarded(&TForm1::Remove1Click));
    connect(Create1, &QAction::triggered, this, guarded(&TForm1::btn3Click));
    connect(Clear1, &QAction::triggered, this, guarded(&TForm1::btn6Click));
    connect(Save1, &QAction::triggered, this, guarded(&TForm1::btn7Click));
    connect(Load1, &QAction::triggered, this, guarded(&TForm1::btn8Click));
    lst1->SetOnClick([this](TListBox*) { RunGuarded([this] { lst1Click(); }); });
    // Delete is Remove for the keyboard; the key goes no further, as Remove leaves nothing to do.
    lst1->SetOnKeyDown([this](TListBox*, QKeyEvent* event) {
        if (event->key() != Qt::Key_Delete || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return;
        event->ignore();
        RunGuarded([this] { btn2Click(); });
    });
}

void TForm1::FormCreate()
{
    // Qt paints every window through a back buffer already, so painting is double-buffered.
    lst1->SetDragDropListBox(lst1);
    SetStatusText(QStringLiteral("Ready"));
    UpdateCommandStates();
}

QString TForm1::StatusText() const { return statusText_->text(); }

void TForm1::SetStatusText(const QString& text) { statusText_->setText(text); }

void TForm1::ClearPreview() { img1->clear(); }

QList<QByteArray> TForm1::RunDialog(FileDialogSettings& settings)
{
    std::unique_ptr<QFileDialog> dialog = MakeFileDialog(this, settings);
    const QStringList chosen = dialogs_->Run(*dialog);
    settings.folder = dialog->directory().absolutePath();
    dialog.reset();
    // Within a run, a dialog offers the last chosen name again.
    if (!chosen.isEmpty())
        settings.offered = chosen.first();
    return DialogPathsBytes(chosen);
}

void TForm1::UpdateCommandStates()
{
    const bool any = lst1->count() > 0;
    for (QToolButton* button : {btn2, btn3, btn6, btn7})
        button->setEnabled(any);
    for (QAction* item : {Remove1, Create1, Clear1, Save1})
        item->setEnabled(any);
}

void TForm1::btn1Click()
{
    const int first = lst1->count();
    for (const QByteArray& path : RunDialog(dlgOpen1))
        InsertPath(*lst1, -1, path);
    RecordSplice("Add", first, {}, lst1->count() - first);
    UpdateCommandStates();
    SetStatusText(ReadyToExportText());
}

QString TForm1::ReadyToExportText() const
{
    const int count = lst1->count();
    return QString::number(count)
           + (count == 1 ? QStringLiteral(" Image is ready to export") : QStringLiteral(" Images are ready to export"));
}

void TForm1::FilesDropped(int row, const DroppedPaths& jpegFiles)
{
    if (row < 0 || row > lst1->count())
        row = lst1->count();
    const int first = row;
    for (const QByteArray& path : jpegFiles.paths)
        InsertPath(*lst1, row++, path);
    RecordSplice("Drop", first, {}, row - first);
    UpdateCommandStates();
    QString status = ReadyToExportText();
    if (jpegFiles.skipped > 0)
        status += jpegFiles.skipped == 1 ? QStringLiteral("; 1 file skipped")
                                         : QStringLiteral("; %1 files skipped").arg(jpegFiles.skipped);
    SetStatusText(status);
}

void TForm1::btn2Click()
{
    const int selected = lst1->ItemIndex();
    if (selected < 0)
        return;
    std::vector<QByteArray> removed = PathsOfRows(*lst1, selected, 1);
    delete lst1->takeItem(selected);
    RecordSplice("Remove", selected, std::move(removed), 0);
    lst1->SetItemIndex(-1);
    ClearPreview();
    SetStatusText(QStringLiteral("Image removed from list"));
    UpdateCommandStates();
}

void TForm1::Remove1Click()
{
    if (lst1->ItemIndex() >= 0)
        btn2Click();
}

void TForm1::btn3Click()
{
    const QList<QByteArray> chosen = RunDialog(dlgSave1);
    if (chosen.isEmpty())
        return;
    const QByteArray output = chosen.first();

    const std::vector<std::string> paths = PathsOf(*lst1);

    QElapsedTimer clock;
    clock.start();
    nextProgressAtMs_ = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    exporting_ = true;
    const int result
        = jpeg2pdf::ConvertJpegListToPdf(paths, output.toStdString(), [&](int written, int total) {
              ShowExportProgress(written, total, clock);
              // Thrown through the engine, which removes the new file and keeps the old one.
              struct EndedBySignal { };
              if (terminationSignals_ && TerminationSignals::Pending())
                  throw EndedBySignal {};
          });
    exporting_ = false;
    QApplication::restoreOverrideCursor();
    exportProgress_->hide();
    if (terminationSignals_ && TerminationSignals::Pending()) {
        close();
        return;
    }

    switch (result) {
    case jpeg2pdf::kExportFailedWriting:
        SetStatusText(QStringLiteral("Unexpected error !"));
        break;
    case jpeg2pdf::kExportSaved:
        SetStatusText(QStringLiteral("Done, PDF saved as: ") + ShownPath(output));
        break;
    case jpeg2pdf::kExportCannotCreate:
        SetStatusText(QStringLiteral("Can not write to output file !"));
        break;
    default:
        SetStatusText(QStringLiteral("Problem inserting the image !"));
        break;
    }
}

void TForm1::ShowExportProgress(int pagesWritten, int pageCount, const QElapsedTimer& clock)
{
    // Short exports finish before anyone could read a progress bar. After that the bar and the
    // repaint are paced by the clock, not by pages: a repaint (and what it tells assistive tools)
    // costs more than a page of small photos.
    const qint64 now = clock.elapsed();
    if (now < progressDelayMs_ || (now < nextProgressAtMs_ && pagesWritten < pageCount))
        return;
    nextProgressAtMs_ = now + progressIntervalMs_;
    exportProgress_->setRange(0, pageCount);
    exportProgress_->show();
    exportProgress_->setValue(pagesWritten);
    // Repaint, but leave the user's input queued until the export has finished.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The progress repaints let the window system's close request in; user input stays queued.
    if (exporting_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TForm1::btn4Click() { close(); }

void TForm1::EndOnTerminationSignals()
{
    if (terminationSignals_)
        return;
    terminationSignals_ = new TerminationSignals(this);
    // During an export the progress step sees the signal and ends it; the window closes after.
    connect(terminationSignals_, &TerminationSignals::Received, this, [this] {
        if (!exporting_)
            QApplication::closeAllWindows();  // an open dialog as well
    });
}

int TForm1::TerminationSignal() const { return terminationSignals_ ? TerminationSignals::PendingSignal() : 0; }

void TForm1::btn5Click()
{
    if (aboutBox_)
        aboutBox_->exec();
}

void TForm1::btn6Click()
{
    std::vector<QByteArray> removed = PathsOfRows(*lst1, 0, lst1->count());
    lst1->clear();
    RecordSplice("Clear", 0, std::move(removed), 0);
    ClearPreview();
    SetStatusText(QStringLiteral("Ready"));
    UpdateCommandStates();
}

void TForm1::btn7Click()
{
    // A name with a line break would load back as two: refused before the dialog asks anything,
    // with the first such entry selected.
    const std::vector<std::string> paths = PathsOf(*lst1);
    if (const std::vector<size_t> broken = imagelist::EntriesWithLineBreaks(paths); !broken.empty()) {
        lst1->SetItemIndex(static_cast<int>(broken.front()));
        lst1->scrollToItem(lst1->item(static_cast<int>(broken.front())));
        ShowSelectedPreview();
        throw imagelist::ImageListError(imagelist::LineBreakRefusal(paths, broken));
    }
    const QList<QByteArray> chosen = RunDialog(dlgSave2);
    if (chosen.isEmpty())
        return;
    imagelist::SaveImageList(chosen.first().toStdString(), paths);
    SetStatusText(QStringLiteral("Images list saved as: ") + ShownPath(chosen.first()));
}

void TForm1::btn8Click()
{
    const QList<QByteArray> chosen = RunDialog(dlgOpen2);
    if (!chosen.isEmpty()) {
        // Read first: a file that cannot be read leaves the list as it was.
        const std::vector<std::string> items = imagelist::LoadImageList(chosen.first().toStdString());
        std::vector<QByteArray> removed = PathsOfRows(*lst1, 0, lst1->count());
        lst1->clear();
        for (const std::string& item : items)
            InsertPath(*lst1, -1, QByteArray::fromStdString(item));
        RecordSplice("Load list", 0, std::move(removed), lst1->count());
        SetStatusText(QStringLiteral("Images list loaded"));
    }
    UpdateCommandStates();
}

void TForm1::BuildUndo()
{
    undo_ = new QUndoStack(this);
    undo_->setUndoLimit(kUndoSteps);
    // Window-wide shortcuts with no menu entry or button; a running drag claims every key first.
    auto addShortcuts = [this](const QList<QKeySequence>& keys, void (TForm1::*command)()) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this,
                [this, command] { RunGuarded([this, command] { (this->*command)(); }); });
        addAction(action);
    };
    addShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &TForm1::Undo);
    addShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, &TForm1::Redo);
    // Drags and moves by keys change the list inside TListBox; they are recorded as they land.
    connect(lst1, &TListBox::ItemMoved, this, [this](TListBox* source, int from, int to) {
        if (source == lst1)
            undo_->push(new ListMoveStep(QStringLiteral("Move"), *lst1, from, to));
    });
}

void TForm1::RecordSplice(const char* text, int row, std::vector<QByteArray> removed, int inserted)
{
    std::vector<QByteArray> added = PathsOfRows(*lst1, row, inserted);
    if (removed == added)
        return;
    undo_->push(new ListSpliceStep(QString::fromLatin1(text), *lst1, row, std::move(removed), std::move(added)));
}

void TForm1::Undo()
{
    if (undo_->canUndo())
        ReplayStep(&QUndoStack::undo, undo_->undoText() + QStringLiteral(" undone"));
    else
        SetStatusText(QStringLiteral("Nothing to undo"));
}

void TForm1::Redo()
{
    if (undo_->canRedo())
        ReplayStep(&QUndoStack::redo, undo_->redoText() + QStringLiteral(" redone"));
    else
        SetStatusText(QStringLiteral("Nothing to redo"));
}

// `status` names the step, so it is taken before the replay moves the stack's texts.
void TForm1::ReplayStep(void (QUndoStack::*replay)(), const QString& status)
{
    (undo_->*replay)();
    // The preview showed an item that may be gone; the touched item is selected and shown instead.
    ShowSelectedPreview();
    UpdateCommandStates();
    SetStatusText(status);
}

void TForm1::ShowSelectedPreview()
{
    ClearPreview();
    try {
        lst1Click();
    } catch (const PictureError&) {
        ClearPreview();
    }
}

void TForm1::lst1Click()
{
    if (lst1->ItemIndex() < 0)
        return;
    // On a scaled screen the picture is fitted to the screen's pixels and shown in the same room.
    const qreal ratio = img1->devicePixelRatioF();
    QImage picture =
        LoadPreviewPicture(PathOf(*lst1->item(lst1->ItemIndex())), (QSizeF(kPreviewSize) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    img1->setPixmap(QPixmap::fromImage(picture));
}
