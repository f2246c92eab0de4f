// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up: the application object, fonts and balloon hints, the main window, then the
// hidden about box, and the event loop until the main window closes (by Exit, the window
// system, or SIGTERM, SIGINT or SIGHUP).
#include <csignal>

#include "About.h"
#include "AppFonts.h"
#include "BalloonToolTip.h"
#include "ErrorHandler.h"
#include "frmMain.h"

int main(int argc, char* argv[])
{
    // A file-size limit (ulimit -f) makes the export fail with a message instead of ending the
    // program and the list with it.
    std::signal(SIGXFSZ, SIG_IGN);
    LeafbindApplication app(argc, argv);
    RegisterAppFonts();
    InstallBalloonToolTips(app);

    TForm1 Form1;
    TAboutBox AboutBox(&Form1);
    Form1.SetAboutBox(&AboutBox);
    // A logout must not leave half a PDF: the export in progress ends first.
    Form1.EndOnTerminationSignals();
    Form1.show();
    return app.exec();
}
