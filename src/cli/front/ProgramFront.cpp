// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgramFront.h"

#include <cstdio>

#include "ExitStatus.h"
#include "MessageLine.h"

namespace cli {

namespace {

// Standard output is buffered: only the flush tells whether the text got out.
int Flushed(const ProgramFront& program)
{
    return std::fflush(stdout) == 0 ? kStatusDone : program.statusWhenOutputFails;
}

}  // namespace

std::vector<std::string> ArgumentsOf(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

int ShowHelp(const ProgramFront& program)
{
    std::fputs(program.usage, stdout);
    return Flushed(program);
}

int ShowVersion(const ProgramFront& program)
{
    std::printf("%s %s\n", program.name, program.version);
    return Flushed(program);
}

int RefuseUsage(const ProgramFront& program, const std::string& error)
{
    WriteMessageLine(2, program.name, error);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", program.name);
    return kStatusUsage;
}

}  // namespace cli
