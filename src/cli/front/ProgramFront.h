// SPDX-License-Identifier: GPL-2.0-or-later
// What every program answers before it runs its command: --help, --version and a usage error.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct ProgramFront {
    const char* name;  // as the user types it: "leafbind-export"
    const char* version;
    const char* usage;  // the --help text
    int statusWhenOutputFails;  // when --help or --version cannot be written to standard output
};

// The arguments after the program's name, as bytes.
std::vector<std::string> ArgumentsOf(int argc, char** argv);

// Prints the --help text on standard output.
int ShowHelp(const ProgramFront& program);
// Prints "<name> <version>" on standard output.
int ShowVersion(const ProgramFront& program);
// Says what is wrong and where help is on standard error; the usage error's status.
int RefuseUsage(const ProgramFront& program, const std::string& error);

}  // namespace cli
