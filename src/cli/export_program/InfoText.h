// SPDX-License-Identifier: GPL-2.0-or-later
// Document information text from an argument.
#pragma once

#include <string>

namespace cli {

// The argument as UTF-8: unchanged when it is valid UTF-8, otherwise read as Latin-1 (as older
// terminals and scripts send it) and converted.
std::string InfoTextAsUtf8(const std::string& argument);

}  // namespace cli
