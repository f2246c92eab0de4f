// SPDX-License-Identifier: GPL-2.0-or-later
// Shows the main window's file dialogs. The window owns and configures the dialogs; the runner
// only shows one and answers with the chosen paths, so tests can answer in place of a person.
#pragma once

#include <QStringList>

class QFileDialog;

class FileDialogRunner {
public:
    virtual ~FileDialogRunner() = default;
    // Shows the dialog modally. Returns the chosen full paths; empty when the user cancelled.
    virtual QStringList Run(QFileDialog& dialog) = 0;
};

// The real thing: the dialog's own modal loop.
class QtFileDialogRunner : public FileDialogRunner {
public:
    QStringList Run(QFileDialog& dialog) override;
};
