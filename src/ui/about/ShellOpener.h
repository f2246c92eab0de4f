// SPDX-License-Identifier: GPL-2.0-or-later
// Hands a web address or file name to the desktop, which opens it with the user's handler.
#pragma once

#include <QString>

class ShellOpener {
public:
    virtual ~ShellOpener();
    // Fire and forget: whether the desktop managed to open the target is not reported.
    virtual void Open(const QString& target) = 0;
};

// Opens targets with the desktop's registered handler (xdg-open on Linux desktops).
class DesktopShellOpener : public ShellOpener {
public:
    void Open(const QString& target) override;
};
