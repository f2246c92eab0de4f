// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up: the application object, fonts and balloon hints, the main window, then the
// hidden about box, and the event loop until the main window closes (by Exit, the window
// system, or SIGTERM, SIGINT or SIGHUP, which then end the program as they end any other).
#include <pthread.h>

#include <csignal>

#include "About.h"
#include "AppFonts.h"
#include "BalloonToolTip.h"
#include "ErrorHandler.h"
#include "frmMain.h"

namespace {

// Ends the program by `signal` with its default action, as the parent expects of a program that
// signal ended (a shell's status 128 + signal, a script that stops on Ctrl+C).
int EndBySignal(int signal)
{
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    return 128 + signal;  // not reached
}

}  // namespace

int main(int argc, char* argv[])
{
    // A file-size limit (ulimit -f) makes the export fail with a message instead of ending the
    // program and the list with it.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = 0;
    int endedBy = 0;
    {
        LeafbindApplication app(argc, argv);
        RegisterAppFonts();
        InstallBalloonToolTips(app);

        TForm1 Form1;
        TAboutBox AboutBox(&Form1);
        Form1.SetAboutBox(&AboutBox);
        // A logout must not leave half a PDF: the export in progress ends first.
        Form1.EndOnTerminationSignals();
        Form1.show();
        status = app.exec();
        endedBy = Form1.TerminationSignal();
    }
    // The window and the application are put away first; then the signal that closed them ends the
    // program.
    return endedBy != 0 ? EndBySignal(endedBy) : status;
}
