// SPDX-License-Identifier: GPL-2.0-or-later
// The exit statuses every program shares; the statuses between and beyond them are each program's
// own (1 for what its input holds, 3 and up for files it cannot read or write).
#pragma once

namespace cli {

// Everything asked was done (--help and --version included).
inline constexpr int kStatusDone = 0;
// A usage error: an option or argument refused, or a list that cannot be read or split.
inline constexpr int kStatusUsage = 2;

}  // namespace cli
