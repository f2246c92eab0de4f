// SPDX-License-Identifier: GPL-2.0-or-later
// What the page and colour options cost: leafbind-export plain and with every one of them on
// (--icc --dpi auto --page-size A4 --margin 5mm), side by side in one run; wall time, processor
// time and peak resident memory of each, and their ratios.
//   nice build/release/bench/cli_options_bench [runs]        (default 3 runs, the median counts)
// Scenarios: 200 photos of about 1 MB, each with an embedded colour profile and a JFIF density;
// 10,000 small photos that all carry the same profile. Inputs are made under $TMPDIR (default
// /tmp) and removed at the end; the output goes to memory (/dev/shm) where there is such a folder,
// so the disk's write-back, which the options do not change, does not drown what they cost.
// Exits with 1 when a target is missed: for the photos, the options' processor time at most
// 1.15 x the plain one (processor time, as wall time on a shared machine measures the neighbours
// too; both are printed); under 16 MiB peak for the 10,000 sharing one profile.
// Needs GNU time.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchInputs.h"
#include "IccProfiles.h"
#include "JpegSegments.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "TimedRun.h"

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "cli_options_bench: %s\n", what.c_str());
    std::exit(2);
}

Measure Run(const std::vector<std::string>& argv, const std::string& peakFile)
{
    const TimedRun run = RunUnderTime(argv, peakFile);
    if (!run.failure.empty())
        Fail(run.failure);
    return run.measure;
}

Measure Median(std::vector<Measure> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Measure& a, const Measure& b) { return a.seconds < b.seconds; });
    Measure median = runs[runs.size() / 2];
    std::vector<double> cpu;
    for (const Measure& r : runs) {
        median.peakKiB = std::max(median.peakKiB, r.peakKiB);
        cpu.push_back(r.cpuSeconds);
    }
    std::sort(cpu.begin(), cpu.end());
    median.cpuSeconds = cpu[cpu.size() / 2];
    return median;
}

struct Outcome {
    Measure plain, options;
};

// Plain and with the options in turn, `runs` times each; the previous output is removed and
// pending writes flushed before each timing, so neither pays for the other.
Outcome Compare(const std::string& title, const std::vector<std::string>& inputs, const TempDir& dir, int runs)
{
    const std::string peak = dir.File("peak.txt");
    const std::string pdf = access("/dev/shm", W_OK) == 0
        ? "/dev/shm/cli_options_bench-" + std::to_string(getpid()) + ".pdf"
        : dir.File("out.pdf");
    std::vector<std::string> plain = {LEAFBIND_EXPORT_PROGRAM, "-q", "-f", "-o", pdf};
    std::vector<std::string> options = plain;
    options.insert(options.end(), {"--icc", "--dpi", "auto", "--page-size", "A4", "--margin", "5mm"});
    plain.insert(plain.end(), inputs.begin(), inputs.end());
    options.insert(options.end(), inputs.begin(), inputs.end());
    Run(plain, peak);  // warms the page cache
    std::vector<Measure> plainRuns, optionRuns;
    for (int i = 0; i < runs; ++i) {
        for (auto [argv, measures] : {std::pair {&plain, &plainRuns}, std::pair {&options, &optionRuns}}) {
            unlink(pdf.c_str());
            sync();
            measures->push_back(Run(*argv, peak));
        }
    }
    unlink(pdf.c_str());
    const Outcome outcome {Median(plainRuns), Median(optionRuns)};
    std::printf("%s\n", title.c_str());
    for (auto [name, m] : {std::pair {"plain", outcome.plain}, std::pair {"with options", outcome.options}})
        std::printf("  %-14s median %8.3f s (processor %6.3f s)   peak RSS %6.1f MiB\n", name, m.seconds, m.cpuSeconds,
                    static_cast<double>(m.peakKiB) / 1024);
    std::printf("  time options / plain %.3f (processor %.3f)   peak options / plain %.3f\n",
                outcome.options.seconds / outcome.plain.seconds, outcome.options.cpuSeconds / outcome.plain.cpuSeconds,
                static_cast<double>(outcome.options.peakKiB) / static_cast<double>(outcome.plain.peakKiB));
    std::fflush(stdout);
    return outcome;
}

// A photo with a 300 dpi JFIF density and `profile` embedded.
std::string Photo(int width, int height, const std::string& profile)
{
    std::vector<std::string> segments = {JfifSegment(1, 300, 300)};
    for (const std::string& chunk : IccChunkSegments(profile))
        segments.push_back(chunk);
    return MakeJpeg({.width = width,
                     .height = height,
                     .quality = 92,
                     .gradient = true,
                     .leadingSegments = segments,
                     .jfifHeader = false});
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::vector<char> noise = Noise(16 * 1024 * 1024);
    const std::string profile = AdobeRgbLikeProfile();
    bool met = true;
    {
        TempDir dir;
        const std::string photo = Photo(1600, 1200, profile);
        std::vector<std::string> inputs;
        for (int i = 0; i < 200; ++i) {
            inputs.push_back(dir.File("photo" + std::to_string(i) + ".jpg"));
            if (!WriteJpegOfSize(inputs.back(), photo, noise, 1000 * 1000, i))
                Fail("cannot write " + inputs.back());
        }
        const Outcome photos = Compare("200 photos of 1 MB with a profile", inputs, dir, runs);
        met = met && photos.options.cpuSeconds <= 1.15 * photos.plain.cpuSeconds;
    }
    {
        TempDir dir;
        const std::string small = Photo(24, 16, profile);
        std::vector<std::string> inputs;
        for (int i = 0; i < 10000; ++i) {
            inputs.push_back(dir.File("s" + std::to_string(i) + ".jpg"));
            if (!WriteJpegOfSize(inputs.back(), small, noise, 4000, i))
                Fail("cannot write " + inputs.back());
        }
        const Outcome shared = Compare("10,000 photos of 4 KB sharing one profile", inputs, dir, runs);
        met = met && shared.options.peakKiB < 16 * 1024;
    }
    std::printf("%s\n", met ? "all targets met" : "a target was missed");
    return met ? 0 : 1;
}
