// SPDX-License-Identifier: GPL-2.0-or-later
// Resident memory figures for the benchmarks, read from /proc/self/status.
#pragma once

#include <functional>

// A "Vm...:" line of /proc/self/status in KiB, or -1.
long StatusKiB(const char* field);

// Peak resident memory rise (KiB) over the idle size of a fresh child process while it runs `work`;
// -1 when `work` fails or the figures cannot be read.
long PeakRssRiseKiB(const std::function<bool()>& work);
