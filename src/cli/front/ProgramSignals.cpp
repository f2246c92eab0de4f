// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgramSignals.h"

#include <signal.h>

#include <csignal>

namespace cli {

namespace {

// The signals a user, a shell, another program or a timer ends a program with (SIGKILL aside,
// which no handler sees); those that report a fault in the program itself are left alone.
constexpr int kEndingSignals[] = {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT, SIGUSR1,
                                  SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU};

// Set once at start-up, before any handler can run.
void (*removal)() = nullptr;

// SA_RESETHAND has restored the default action; the raised signal waits until the handler
// returns, then ends the process by it.
void RemoveAndEnd(int signal)
{
    removal();
    std::raise(signal);
}

}  // namespace

void SetUpProgramSignals(void (*removeUnfinished)())
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    removal = removeUnfinished;
    for (int signal : kEndingSignals) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN)
            continue;
        action.sa_handler = RemoveAndEnd;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace cli
