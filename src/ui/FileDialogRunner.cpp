#include "FileDialogRunner.h"

#include <QFileDialog>

QStringList QtFileDialogRunner::Run(QFileDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}
