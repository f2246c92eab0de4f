// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShownName.h"

#include <cstdio>

namespace cli {

std::string ShownName(const std::string& path)
{
    std::string shown;
    for (unsigned char c : path) {
        if (c < 0x20 || c == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

}  // namespace cli
