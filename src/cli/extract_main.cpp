// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-extract: the pictures of a PDF back as JPEG files, or a PDF checked against them.
#include <exception>
#include <new>
#include <string>

#include "ExtractCommand.h"
#include "ExtractCommandLine.h"
#include "PictureFile.h"
#include "ProgramFront.h"
#include "ProgramSignals.h"

namespace {

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
    // The picture being written goes with the process, whatever signal ends it.
    cli::SetUpProgramSignals(extract::RemoveUnfinishedPicture);
    const cli::ProgramFront program {"leafbind-extract", LEAFBIND_VERSION, cli::kExtractUsage, cli::kExtractUnreadable};
    const cli::ExtractCommandLine command = cli::ParseExtractCommandLine(cli::ArgumentsOf(argc, argv));
    switch (command.action) {
    case cli::ExtractCommandLine::Action::Help:
        return cli::ShowHelp(program);
    case cli::ExtractCommandLine::Action::Version:
        return cli::ShowVersion(program);
    case cli::ExtractCommandLine::Action::UsageError:
        return cli::RefuseUsage(program, command.error);
    case cli::ExtractCommandLine::Action::Extract:
    case cli::ExtractCommandLine::Action::Verify:
        break;
    }
    return Run(command);
}
