// SPDX-License-Identifier: GPL-2.0-or-later
// What document information, bookmarks and the document ID cost: the same export with and without.
//   nice build/release/bench/metadata_bench [runs]
// Makes its inputs in a temporary folder and removes them at the end. For each scenario it prints
// the median time of a plain export (the window's bytes) and of one with a title, author,
// subject, keywords, a date and bookmarks (so an information dictionary, an outline and the ID
// hashed from every byte), alternating runs with a warm page cache and pending writes flushed
// before each: wall-clock time, and processor time (user and system, both threads) for what the
// hash costs where no core is free. Exits with 1 when the described export takes 3% longer.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchStatistics.h"
#include "BenchInputs.h"
#include "ExportDetails.h"
#include "MakeJpeg.h"
#include "TempDir.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;
constexpr double kTarget = 1.03;

jpeg2pdf::ExportOptions Described()
{
    jpeg2pdf::ExportOptions options;
    options.info = {"Trip (2026)", "A. Photographer", "Holidays", "sea, mountains", true, {2026, 1, 2, 3, 4, 5, true, 60}};
    options.bookmarks = true;
    return options;
}

struct Timing {
    double wall, processor;
};

Timing TimeOneExport(const std::vector<std::string>& paths, const std::string& output,
                     const jpeg2pdf::ExportOptions& options)
{
    sync();
    unlink(output.c_str());
    const double processorStart = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (jpeg2pdf::ExportResultCode(jpeg2pdf::ExportJpegList(paths, output, options)) != jpeg2pdf::kExportSaved) {
        std::fprintf(stderr, "metadata_bench: export failed\n");
        std::exit(2);
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            ProcessorSeconds() - processorStart};
}

bool RunScenario(const TempDir& dir, const char* name, int files, int64_t bytesEach, const JpegRecipe& header,
                 const std::vector<char>& noise, int runs)
{
    const std::string jpeg = MakeJpeg(header);
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(dir.File("in" + std::to_string(i) + ".jpg"));
        if (!WriteJpegOfSize(paths.back(), jpeg, noise, bytesEach, static_cast<size_t>(i)))
            std::exit(2);
    }
    const std::string output = dir.File("out.pdf");
    const jpeg2pdf::ExportOptions plain, described = Described();
    TimeOneExport(paths, output, plain);  // untimed: brings the inputs into the page cache
    std::vector<Timing> plainRuns, describedRuns;
    for (int run = 0; run < runs; ++run) {
        // Alternating which goes first, so drift on the machine favours neither.
        if (run % 2 == 0)
            plainRuns.push_back(TimeOneExport(paths, output, plain));
        describedRuns.push_back(TimeOneExport(paths, output, described));
        if (run % 2 == 1)
            plainRuns.push_back(TimeOneExport(paths, output, plain));
    }
    const auto median = [](const std::vector<Timing>& timings, double Timing::*field) {
        std::vector<double> values;
        for (const Timing& timing : timings)
            values.push_back(timing.*field);
        return Median(values);
    };
    const auto fastest = [](const std::vector<Timing>& timings) {
        double best = timings.front().wall;
        for (const Timing& timing : timings)
            best = std::min(best, timing.wall);
        return best;
    };
    const double wallRatio = median(describedRuns, &Timing::wall) / median(plainRuns, &Timing::wall);
    const double ratio = median(describedRuns, &Timing::processor) / median(plainRuns, &Timing::processor);
    std::printf("%s (%.0f MiB)\n  plain     median %7.3f s wall (fastest %7.3f s), %7.3f s processor\n"
                "  described median %7.3f s wall (fastest %7.3f s), %7.3f s processor\n"
                "  described / plain: wall %.3f (target <= %.2f: %s), processor %.3f\n",
                name, static_cast<double>(files) * static_cast<double>(bytesEach) / kMiB,
                median(plainRuns, &Timing::wall), fastest(plainRuns), median(plainRuns, &Timing::processor),
                median(describedRuns, &Timing::wall), fastest(describedRuns),
                median(describedRuns, &Timing::processor), wallRatio, kTarget, wallRatio <= kTarget ? "met" : "MISSED",
                ratio);
    unlink(output.c_str());
    for (const std::string& path : paths)
        unlink(path.c_str());
    return wallRatio <= kTarget;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::printf("median of %d runs each, warm page cache, sync before each run\n", runs);
    const std::vector<char> noise = Noise(static_cast<size_t>(8 * kMiB));
    bool met = RunScenario(dir, "one JPEG of 1 GiB", 1, 1024 * kMiB, {.width = 4000, .height = 3000}, noise, runs);
    met = RunScenario(dir, "10,000 JPEGs of 2 KB", 10'000, 2'048, {.width = 64, .height = 48}, noise, runs) && met;
    return met ? 0 : 1;
}
