// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-export against a plain `cat` of the same files into one file (the floor: no program
// that copies the bytes can be faster), in one run: wall time and peak resident memory, and
// their ratios.
//   nice build/release/bench/cli_bench [runs]        (default 3 runs, the median counts)
// Scenarios: 200 JPEGs of about 5 MB, 10,000 of about 2 KB, one of 1 GiB. Inputs are one real
// JPEG each, padded after its end with incompressible bytes (the export copies the whole file),
// made under $TMPDIR (default /tmp) and removed at the end. Exits with 1 when a target is missed:
// at most 1.5 times the copy's time on the photos and on the 1 GiB file, and a peak memory for
// the 1 GiB file within 64 MiB of the one for the 5 MB photos. Needs GNU time (installed if
// missing).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchStatistics.h"
#include "BenchInputs.h"
#include "MakeJpeg.h"
#include "TempDir.h"
#include "TimedRun.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "cli_bench: %s\n", what.c_str());
    std::exit(2);
}

Measure Run(const std::vector<std::string>& argv, const std::string& stdoutPath, const std::string& peakFile)
{
    const TimedRun run = RunUnderTime(argv, peakFile, stdoutPath);
    if (!run.failure.empty())
        Fail(run.failure);
    return run.measure;
}

// Removes the previous output and writes back whatever is pending, so no program pays for the
// one before it.
void Quiesce(const std::string& pdf)
{
    unlink(pdf.c_str());
    sync();
}

struct Contender {
    const char* name;
    std::vector<Measure> runs;
    Measure Median() const { return MedianMeasure(runs); }
};

struct Outcome {
    Measure leafbind, copy;
};

// Each program in turn, `runs` times, the previous output removed just before each timing.
Outcome Compare(const std::string& title, const std::vector<std::string>& inputs, const TempDir& dir, int runs)
{
    const std::string pdf = dir.File("out.pdf");
    std::vector<std::string> leafbind = {LEAFBIND_EXPORT_PROGRAM, "-q", "-f", "-o", pdf};
    std::vector<std::string> cat = {"cat"};
    for (auto* argv : {&leafbind, &cat})
        argv->insert(argv->end(), inputs.begin(), inputs.end());
    Contender ours {"leafbind-export", {}}, floor {"cat (plain copy)", {}};
    const std::string peak = dir.File("peak.txt");
    Run(cat, pdf, peak);  // warms the page cache
    for (int i = 0; i < runs; ++i) {
        Quiesce(pdf);
        ours.runs.push_back(Run(leafbind, "/dev/null", peak));
        Quiesce(pdf);
        floor.runs.push_back(Run(cat, pdf, peak));
    }
    unlink(pdf.c_str());
    const Outcome outcome {ours.Median(), floor.Median()};
    std::printf("%s\n", title.c_str());
    for (const Contender* c : {&ours, &floor})
        std::printf("  %-18s median %8.3f s   peak RSS %8.1f MiB\n", c->name, c->Median().seconds,
                    static_cast<double>(c->Median().peakKiB) / 1024);
    std::printf("  leafbind / cat: time %.2f\n", outcome.leafbind.seconds / outcome.copy.seconds);
    std::fflush(stdout);
    return outcome;
}

// GNU time measures the peak memory: from Debian, installed if missing.
void EnsureTools()
{
    if (std::system("test -x /usr/bin/time") == 0)
        return;
    std::fprintf(stderr, "cli_bench: installing time from Debian\n");
    const char* sudo = geteuid() == 0 ? "" : "sudo ";
    const std::string install = std::string(sudo) + "apt-get update -qq && DEBIAN_FRONTEND=noninteractive " + sudo
        + "apt-get install -y -qq --no-install-recommends time > /dev/null";
    if (std::system(install.c_str()) != 0)
        Fail("cannot install time");
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    EnsureTools();
    const std::vector<char> noise = Noise(16 * kMiB);
    bool met = true;

    Outcome photos;
    {
        TempDir dir;
        const std::string photo = MakeJpeg({.width = 1600, .height = 1200, .quality = 92, .gradient = true});
        std::vector<std::string> inputs;
        for (int i = 0; i < 200; ++i) {
            inputs.push_back(dir.File("photo" + std::to_string(i) + ".jpg"));
            if (!WriteJpegOfSize(inputs.back(), photo, noise, 5 * 1000 * 1000, i))
                Fail("cannot write " + inputs.back());
        }
        photos = Compare("200 JPEGs of 5 MB", inputs, dir, runs);
        met = met && photos.leafbind.seconds <= photos.copy.seconds * 1.5;
    }
    {
        TempDir dir;
        const std::string small = MakeJpeg({.width = 24, .height = 16, .gradient = true});
        std::vector<std::string> inputs;
        for (int i = 0; i < 10000; ++i) {
            inputs.push_back(dir.File("s" + std::to_string(i) + ".jpg"));
            if (!WriteJpegOfSize(inputs.back(), small, noise, 2000, i))
                Fail("cannot write " + inputs.back());
        }
        Compare("10,000 JPEGs of 2 KB", inputs, dir, runs);  // a PDF object per file: no floor to meet
    }
    {
        TempDir dir;
        const std::string huge = dir.File("huge.jpg");
        if (!WriteJpegOfSize(huge, MakeJpeg({.width = 4000, .height = 3000, .gradient = true}), noise, 1024 * kMiB, 1))
            Fail("cannot write " + huge);
        const Outcome one = Compare("one JPEG of 1 GiB", {huge}, dir, runs);
        const long flatKiB = 64 * 1024;
        met = met && one.leafbind.peakKiB <= photos.leafbind.peakKiB + flatKiB
            && one.leafbind.seconds <= one.copy.seconds * 1.5;
    }
    std::printf("%s\n", met ? "all targets met" : "a target was missed");
    return met ? 0 : 1;
}
