// SPDX-License-Identifier: GPL-2.0-or-later
// The descriptors a program's command reads and writes; tests hand in their own.
#pragma once

namespace cli {

struct Streams {
    int in = 0;
    int out = 1;
    int err = 2;
};

}  // namespace cli
