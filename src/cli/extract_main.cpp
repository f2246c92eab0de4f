// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-extract: the pictures of a PDF back as JPEG files, or a PDF checked against them.
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <signal.h>

#include "ExtractCommand.h"
#include "ExtractCommandLine.h"
#include "PictureFile.h"

namespace {

// The picture being written goes with the process; then the signal ends it as it would have.
void RemovePictureAndEnd(int signal)
{
    extract::RemoveUnfinishedPicture();
    std::raise(signal);
}

void RemovePictureOnTermination()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN)
            continue;
        action.sa_handler = RemovePictureAndEnd;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
}

int Run(const cli::ExtractCommandLine& command)
{
    const cli::Streams streams;
    // A document that cannot be read, damaged or cut short, ends here with its reason: the
    // reading library reports it by throwing.
    try {
        return command.action == cli::ExtractCommandLine::Action::Verify ? cli::RunVerify(command, streams)
                                                                        : cli::RunExtract(command, streams);
    } catch (const std::bad_alloc&) {
        cli::ComplainFromExtract(streams.err, "out of memory");
    } catch (const std::exception& e) {
        cli::ComplainFromExtract(streams.err, std::string("cannot read the document: ") + e.what());
    }
    return cli::kExtractUnreadable;
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    RemovePictureOnTermination();
    const cli::ExtractCommandLine command
        = cli::ParseExtractCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
    case cli::ExtractCommandLine::Action::Help:
        std::fputs(cli::kExtractUsage, stdout);
        return std::fflush(stdout) == 0 ? cli::kExtractDone : cli::kExtractUnreadable;
    case cli::ExtractCommandLine::Action::Version:
        std::puts("leafbind-extract " LEAFBIND_VERSION);
        return std::fflush(stdout) == 0 ? cli::kExtractDone : cli::kExtractUnreadable;
    case cli::ExtractCommandLine::Action::UsageError:
        cli::ComplainFromExtract(2, command.error);
        std::fputs("Try 'leafbind-extract --help' for more information.\n", stderr);
        return cli::kExtractUsageError;
    case cli::ExtractCommandLine::Action::Extract:
    case cli::ExtractCommandLine::Action::Verify:
        break;
    }
    return Run(command);
}
