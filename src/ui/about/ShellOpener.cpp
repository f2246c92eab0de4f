// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

ShellOpener::~ShellOpener() = default;

void DesktopShellOpener::Open(const QString& target)
{
    // A target without a scheme is taken as a local file; a failure is deliberately ignored.
    const QUrl url = QUrl::fromUserInput(target);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}
