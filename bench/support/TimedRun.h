// SPDX-License-Identifier: GPL-2.0-or-later
// Running a program under GNU time for the benchmarks: wall time, processor time and peak memory.
#pragma once

#include <string>
#include <vector>

struct Measure {
    double seconds = 0;  // wall time
    double cpuSeconds = 0;  // user and system time: what the program itself spent, whatever else runs
    long peakKiB = 0;
};

struct TimedRun {
    Measure measure;
    std::string failure;  // empty when the program ran and exited with 0
};

// Runs argv under /usr/bin/time, which writes the peak RSS to `peakFile`; standard output goes to
// `stdoutPath` when given. GNU time starts the program: a process's peak counts the memory of
// whatever process it was forked from, so the program must come from a small one, not the bench.
TimedRun RunUnderTime(const std::vector<std::string>& argv, const std::string& peakFile,
                      const std::string& stdoutPath = "");
