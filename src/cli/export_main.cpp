// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-export: the export engine from the command line.
#include "CommandLine.h"
#include "ExportCommand.h"
#include "ProgramFront.h"
#include "ProgramSignals.h"
#include "UnfinishedOutput.h"

int main(int argc, char** argv)
{
    // The document has no name until it is complete, so whatever ends the process takes it along.
    // On a file system without unnamed files it is a hidden named file instead, which a signal that
    // ends the process removes first.
    cli::SetUpProgramSignals(jpeg2pdf::RemoveUnfinishedOutput);
    const cli::ProgramFront program {"leafbind-export", LEAFBIND_VERSION, cli::kUsage, cli::kExitFailedWriting};
    const cli::CommandLine command = cli::ParseCommandLine(cli::ArgumentsOf(argc, argv));
    switch (command.action) {
    case cli::CommandLine::Action::Help:
        return cli::ShowHelp(program);
    case cli::CommandLine::Action::Version:
        return cli::ShowVersion(program);
    case cli::CommandLine::Action::UsageError:
        return cli::RefuseUsage(program, command.error);
    case cli::CommandLine::Action::Export:
        break;
    }
    return cli::RunExport(command, cli::Streams {});
}
