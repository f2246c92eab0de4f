// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-extract against the plain tools that do the same work on the same files, in one run,
// in turns: --verify against a `cmp` loop over the same pairs of files, and extraction into an
// empty folder against a `cp` of the same files into an empty folder. Wall time and peak resident
// memory, and their ratios.
//   nice build/release/bench/extract_bench [runs]        (default 3 runs, the median counts)
// Scenarios: 200 photos of about 5 MB exported with bookmarks; one JPEG of 1 GiB (peak memory).
// Inputs are one real JPEG each, padded after its end with incompressible bytes, made under
// $TMPDIR (default /tmp) and removed at the end. Exits with 1 when a target is missed: verify at
// most 1.3 times the cmp loop, extraction at most 1.3 times cp, and a peak under 32 MiB for the
// 1 GiB document. Needs GNU time.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchStatistics.h"
#include "BenchInputs.h"
#include "MakeJpeg.h"
#include "ShellCommand.h"
#include "TempDir.h"
#include "TimedRun.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "extract_bench: %s\n", what.c_str());
    std::exit(2);
}

Measure Run(const std::vector<std::string>& argv, const std::string& peakFile)
{
    const TimedRun run = RunUnderTime(argv, peakFile, "/dev/null");
    if (!run.failure.empty())
        Fail(run.failure);
    return run.measure;
}

struct Contender {
    const char* name;
    std::vector<std::string> argv;
    std::vector<Measure> runs;
    Measure Median() const { return MedianMeasure(runs); }
};

// An empty folder for the next writer, and nothing pending from the one before.
void EmptyFolder(const std::string& folder)
{
    if (RunCommand("rm -rf " + Quoted(folder) + " && mkdir " + Quoted(folder)).status != 0)
        Fail("cannot empty " + folder);
    sync();
}

// Both in turns, `runs` times, `folder` (when given) emptied before each timing. Returns the
// ratio of the median times, ours / theirs.
double Compare(const char* title, Contender& ours, Contender& theirs, int runs, const std::string& peak,
               const std::string& folder)
{
    for (int i = 0; i < runs; ++i)
        for (Contender* c : {&ours, &theirs}) {
            if (!folder.empty())
                EmptyFolder(folder);
            c->runs.push_back(Run(c->argv, peak));
        }
    std::printf("%s\n", title);
    for (const Contender* c : {&ours, &theirs})
        std::printf("  %-28s median %8.3f s   processor %8.3f s   peak RSS %8.1f MiB\n", c->name, c->Median().seconds,
                    c->Median().cpuSeconds, static_cast<double>(c->Median().peakKiB) / 1024);
    const double ratio = ours.Median().seconds / theirs.Median().seconds;
    std::printf("  ratio: %.2f\n", ratio);
    std::fflush(stdout);
    return ratio;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (std::system("test -x /usr/bin/time") != 0)
        Fail("needs GNU time (apt-get install time)");
    const std::vector<char> noise = Noise(16 * kMiB);
    bool met = true;
    {
        TempDir dir;
        const std::string photo = MakeJpeg({.width = 1600, .height = 1200, .quality = 92, .gradient = true});
        std::vector<std::string> inputs;
        for (int i = 0; i < 200; ++i) {
            inputs.push_back(dir.File("photo" + std::to_string(i) + ".jpg"));
            if (!WriteJpegOfSize(inputs.back(), photo, noise, 5 * 1000 * 1000, i))
                Fail("cannot write " + inputs.back());
        }
        const std::string pdf = dir.File("album.pdf"), peak = dir.File("peak.txt");
        std::vector<std::string> exportArgs = {LEAFBIND_EXPORT_PROGRAM, "-q", "--bookmarks", "-o", pdf};
        exportArgs.insert(exportArgs.end(), inputs.begin(), inputs.end());
        Run(exportArgs, peak);
        // cmp compares each photo with a copy of it, as --verify compares it with its page.
        const std::string copies = dir.File("copies");
        EmptyFolder(copies);
        std::string loop = "for f in \"$@\"; do cmp -s \"$f\" " + Quoted(copies) + "/\"${f##*/}\" || exit 1; done";
        Contender verify {"leafbind-extract --verify", {LEAFBIND_EXTRACT_PROGRAM, "-q", "--verify", pdf}, {}};
        Contender cmp {"cmp loop", {"/bin/sh", "-c", loop, "sh"}, {}};
        std::vector<std::string> cpArgs = {"cp"};
        for (auto* a : {&verify.argv, &cmp.argv, &cpArgs})
            a->insert(a->end(), inputs.begin(), inputs.end());
        cpArgs.push_back(copies);
        Run(cpArgs, peak);  // the copies, and a warm page cache
        met = Compare("200 photos of 5 MB: check", verify, cmp, runs, peak, "") <= 1.3 && met;
        const std::string out = dir.File("out");
        Contender extract {"leafbind-extract -d", {LEAFBIND_EXTRACT_PROGRAM, "-q", "-d", out, pdf}, {}};
        cpArgs.back() = out;
        Contender cp {"cp", cpArgs, {}};
        met = Compare("200 photos of 5 MB: extraction into an empty folder", extract, cp, runs, peak, out) <= 1.3 && met;
    }
    {
        TempDir dir;
        const std::string huge = dir.File("huge.jpg"), pdf = dir.File("huge.pdf"), peak = dir.File("peak.txt");
        if (!WriteJpegOfSize(huge, MakeJpeg({.width = 4000, .height = 3000, .gradient = true}), noise, 1024 * kMiB, 1))
            Fail("cannot write " + huge);
        Run({LEAFBIND_EXPORT_PROGRAM, "-q", "-o", pdf, huge}, peak);
        const std::string out = dir.File("out");
        Contender verify {"leafbind-extract --verify", {LEAFBIND_EXTRACT_PROGRAM, "-q", "--verify", pdf, huge}, {}};
        // cmp takes a file compared with itself for the same at once: it reads a copy.
        const std::string copy = dir.File("copy.jpg");
        Run({"cp", huge, copy}, peak);
        Contender cmp {"cmp", {"cmp", "-s", huge, copy}, {}};
        Compare("one JPEG of 1 GiB: check", verify, cmp, runs, peak, "");
        Contender extract {"leafbind-extract -d", {LEAFBIND_EXTRACT_PROGRAM, "-q", "-d", out, pdf}, {}};
        Contender cp {"cp", {"cp", huge, out}, {}};
        Compare("one JPEG of 1 GiB: extraction into an empty folder", extract, cp, runs, peak, out);
        const long peakKiB = std::max(verify.Median().peakKiB, extract.Median().peakKiB);
        std::printf("  leafbind-extract's peak for 1 GiB: %.1f MiB (target under 32 MiB)\n",
                    static_cast<double>(peakKiB) / 1024);
        met = met && peakKiB < 32 * 1024;
    }
    std::printf("%s\n", met ? "all targets met" : "a target was missed");
    return met ? 0 : 1;
}
