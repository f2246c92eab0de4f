// SPDX-License-Identifier: GPL-2.0-or-later
// File names and argument values as they can be shown in one line of a message.
#pragma once

#include <string>

namespace cli {

// Control bytes become \xNN, other bytes stay.
std::string ShownName(const std::string& path);

}  // namespace cli
