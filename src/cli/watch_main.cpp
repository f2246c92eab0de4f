// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-watch: a PDF of each folder and picture put into a watched folder.
#include "ProgramFront.h"
#include "ProgramSignals.h"
#include "WatchCommandLine.h"
#include "WatchRun.h"

int main(int argc, char** argv)
{
    // A signal ends the watcher at once and takes the document under way along; one already
    // recorded as finished is completed on the next start.
    cli::SetUpProgramSignals(cli::RemoveDocumentUnderWay);
    const cli::ProgramFront program {"leafbind-watch", LEAFBIND_VERSION, cli::kWatchUsage, cli::kWatchCannotStart};
    const cli::WatchCommandLine command = cli::ParseWatchCommandLine(cli::ArgumentsOf(argc, argv));
    switch (command.action) {
    case cli::WatchCommandLine::Action::Help:
        return cli::ShowHelp(program);
    case cli::WatchCommandLine::Action::Version:
        return cli::ShowVersion(program);
    case cli::WatchCommandLine::Action::UsageError:
        return cli::RefuseUsage(program, command.error);
    case cli::WatchCommandLine::Action::Watch:
        break;
    }
    if (const std::string error = cli::CheckWatchPlaces(command); !error.empty())
        return cli::RefuseUsage(program, error);
    return cli::RunWatch(command);
}
