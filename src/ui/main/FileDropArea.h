// SPDX-License-Identifier: GPL-2.0-or-later
// Takes drops of files from other programs (a text/uri-list, over XDND or the Wayland data
// device) on a window and on the list in it. The list's own reordering drag is not a platform drag
// at all, so nothing that arrives here is ever an internal move.
#pragma once

#include "FileDrop.h"

#include <QObject>

#include <functional>

class QDropEvent;
class QWidget;
class TListBox;

class FileDropArea final : public QObject {
    Q_OBJECT

public:
    // Called with the row of `list` the files go before (its count: at the end), the JPEG files
    // the drop stands for and how many things it skipped.
    using Handler = std::function<void(int row, const DroppedPaths& jpegFiles)>;

    // Accepts drops on `window` (appended) and on `list`'s items (inserted there). Owned by
    // `window`.
    FileDropArea(QWidget* window, TListBox* list, Handler onDrop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool OffersLocalPath(const QDropEvent* event);
    // Accepts the offer as a copy when it names a local path, refuses it otherwise.
    static bool Answer(QDropEvent* event, bool offersLocalPath);

    QWidget* window_;
    TListBox* list_;
    QWidget* listViewport_;
    Handler onDrop_;
    bool offersLocalPath_ = false;  // of the drag now over the window or the list
};
