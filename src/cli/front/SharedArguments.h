// SPDX-License-Identifier: GPL-2.0-or-later
// What every program's command line holds alike, read by CommandParser.
#pragma once

#include <string>
#include <vector>

#include "ListEntries.h"

namespace cli {

struct SharedArguments {
    std::string error;  // for a usage error: what is wrong, without the program's name
    std::vector<Source> sources;  // the files and lists (-l), in command-line order
    bool quiet = false;  // -q
    bool nulSeparated = false;  // -0: lists and standard input hold NUL-ended names
};

}  // namespace cli
