// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileDialogRunner.h"

#include <QApplication>
#include <QFileDialog>

QStringList QtFileDialogRunner::Run(QFileDialog& dialog)
{
    const QStringList chosen = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
    // A name typed and confirmed with Enter can leave the name completer's popup open, unseen,
    // after the dialog has gone; it would swallow the next click in the window.
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
    return chosen;
}
