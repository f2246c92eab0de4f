// SPDX-License-Identifier: GPL-2.0-or-later
// The pages a document gets from its list: a one-sided feeder's stack collated (--duplex), blank
// pages left out (--drop-blank). Both only order and select entries, so every page that stays is
// the same picture, copied unchanged, and its bookmark and text follow it.
#pragma once

#include <vector>

#include "ListEntries.h"

namespace cli {

// Fronts 1 .. n, then backs n .. 1 (the stack turned over) become front 1, back 1, front 2, ...
// `entries` must hold an even number of paths.
void CollateDuplex(Entries& entries);

struct BlankPage {
    int entry = 0;  // in the entries as they were before the blank pages were left out
    double percent = 0;  // its ink share
};

// Measures every page's ink on up to `jobs` threads and leaves out those with less than
// `percent` of their pixels in ink. A picture that cannot be measured is kept. The pages left out,
// in list order.
std::vector<BlankPage> DropBlankPages(Entries& entries, double percent, int jobs);

}  // namespace cli
