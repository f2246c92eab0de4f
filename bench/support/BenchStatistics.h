// SPDX-License-Identifier: GPL-2.0-or-later
// What the benchmarks make of repeated runs: medians, and the processor time of this process.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <vector>

#include "TimedRun.h"

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The run of median wall time, with the highest peak memory of all the runs.
inline Measure MedianMeasure(const std::vector<Measure>& runs)
{
    std::vector<Measure> sorted = runs;
    std::sort(sorted.begin(), sorted.end(), [](const Measure& a, const Measure& b) { return a.seconds < b.seconds; });
    Measure median = sorted[sorted.size() / 2];
    for (const Measure& r : runs)
        median.peakKiB = std::max(median.peakKiB, r.peakKiB);
    return median;
}

// User and system time this process has spent so far, every thread.
inline double ProcessorSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
