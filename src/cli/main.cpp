// leafbind-export: the export engine from the command line.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "ExportCommand.h"

int main(int argc, char** argv)
{
    // A reader that goes away (a closed pipe) makes the write fail instead of ending the process,
    // so a partial output is cleaned up and reported.
    std::signal(SIGPIPE, SIG_IGN);
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
