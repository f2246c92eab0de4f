// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageLine.h"

#include "WholeTransfers.h"

namespace cli {

void WriteMessageLine(int fd, const char* program, const std::string& message)
{
    posixfile::WriteAll(fd, std::string(program) + ": " + message + "\n");
}

}  // namespace cli
