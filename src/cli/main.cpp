// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-export: the export engine from the command line.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <signal.h>

#include "CommandLine.h"
#include "ExportCommand.h"
#include "UnfinishedOutput.h"

namespace {

// The half-written document goes with the process; then the signal ends it as it would have
// (SA_RESETHAND restored the default action, and the raised signal waits until we return).
void RemoveOutputAndEnd(int signal)
{
    jpeg2pdf::RemoveUnfinishedOutput();
    std::raise(signal);
}

// The document has no name until it is complete, so whatever ends the process takes it along. On
// a file system without unnamed files it is a hidden named file instead: a signal that would end
// the process (an interrupt or quit key, a hang-up, kill, a timer) removes it first. A signal
// ignored when we started (nohup) stays ignored.
void RemoveOutputOnTermination()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU}) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN)
            continue;
        action.sa_handler = RemoveOutputAndEnd;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // A reader that goes away (a closed pipe) makes the write fail instead of ending the process,
    // so a partial output is cleaned up and reported.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file size limit (ulimit -f): the write fails with EFBIG, which is reported.
    std::signal(SIGXFSZ, SIG_IGN);
    RemoveOutputOnTermination();
    const cli::CommandLine command = cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
    case cli::CommandLine::Action::Help:
        std::fputs(cli::kUsage, stdout);
        return std::fflush(stdout) == 0 ? cli::kExitWritten : cli::kExitFailedWriting;
    case cli::CommandLine::Action::Version:
        std::puts("leafbind-export " LEAFBIND_VERSION);
        return std::fflush(stdout) == 0 ? cli::kExitWritten : cli::kExitFailedWriting;
    case cli::CommandLine::Action::UsageError:
        cli::Complain(2, command.error);
        std::fputs("Try 'leafbind-export --help' for more information.\n", stderr);
        return cli::kExitUsage;
    case cli::CommandLine::Action::Export:
        break;
    }
    return cli::RunExport(command, cli::Streams {});
}
