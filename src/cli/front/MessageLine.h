// SPDX-License-Identifier: GPL-2.0-or-later
// A program's message to its user: one line, its name first, written whole.
#pragma once

#include <string>

namespace cli {

// Writes "<program>: <message>\n" to `fd` in one piece. A failure is not reported: a message has
// nowhere else to go.
void WriteMessageLine(int fd, const char* program, const std::string& message);

}  // namespace cli
