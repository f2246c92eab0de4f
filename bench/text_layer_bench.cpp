// SPDX-License-Identifier: GPL-2.0-or-later
// What writing an invisible text layer costs the engine, recognition left out: the same export
// plain, with a text source whose pages have no words, and with one whose pages are full.
//   nice build/release/bench/text_layer_bench [runs]
// The sources hand out ready words at once, so only placing and writing them is timed. Prints the
// median wall-clock and processor time (user and system) of each, alternating runs with a warm
// page cache and pending writes flushed before each; exits with 1 when pages without words take
// more than 5% more processor time than plain (wall time on a shared machine measures the others).
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
constexpr double kEmptyTarget = 1.05;

// Every page the same words: `lines` lines of 10 words of 7 letters, as a scanned letter at 300
// dots per inch holds them (2,480 pixels wide, lines 50 pixels apart).
class ReadyText : public jpeg2pdf::PageTextSource {
public:
    explicit ReadyText(int lines)
    {
        jpeg2pdf::TextBlock block;
        for (int i = 0; i < lines; ++i) {
            const double baseline = 200 + 50 * i;
            jpeg2pdf::TextLine line {200, baseline, 2280, baseline + 3, 40, {}};
            for (int w = 0; w < 10; ++w)
                line.words.push_back({"Wörter" + std::to_string(w % 10), 208.0 * w, 208.0 * w + 180});
            block.lines.push_back(std::move(line));
        }
        if (lines > 0)
            page_.blocks.push_back(std::move(block));
    }
    void Begin(const std::vector<jpeg2pdf::PageTextRequest>&) override { }
    jpeg2pdf::PageText Take(int) override { return page_; }

private:
    jpeg2pdf::PageText page_;
};

struct Timing {
    double wall, processor;
};

Timing TimeOneExport(const std::vector<std::string>& paths, const std::string& output, int lines)
{
    ReadyText text(lines);
    jpeg2pdf::ExportOptions options;
    if (lines >= 0)
        options.text = &text;
    sync();
    unlink(output.c_str());
    const double processorStart = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (jpeg2pdf::ExportResultCode(jpeg2pdf::ExportJpegList(paths, output, options)) != jpeg2pdf::kExportSaved) {
        std::fprintf(stderr, "text_layer_bench: export failed\n");
        std::exit(2);
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            ProcessorSeconds() - processorStart};
}

bool RunScenario(const TempDir& dir, const char* name, int files, int64_t bytesEach, const std::vector<char>& noise,
                 int runs)
{
    const std::string jpeg = MakeJpeg({.width = 2480, .height = 3508});
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(dir.File("in" + std::to_string(i) + ".jpg"));
        if (!WriteJpegOfSize(paths.back(), jpeg, noise, bytesEach, static_cast<size_t>(i)))
            std::exit(2);
    }
    const std::string output = dir.File("out.pdf");
    // -1: no text layer; 0: a layer of pages without words; 60: full pages.
    const std::vector<int> kinds = {-1, 0, 60};
    std::vector<std::vector<double>> walls(kinds.size()), processors(kinds.size());
    TimeOneExport(paths, output, -1);  // untimed: brings the inputs into the page cache
    for (int run = 0; run < runs; ++run) {
        // Turning the order each run, so drift on the machine favours none.
        for (size_t k = 0; k < kinds.size(); ++k) {
            const size_t kind = (k + static_cast<size_t>(run)) % kinds.size();
            const Timing timing = TimeOneExport(paths, output, kinds[kind]);
            walls[kind].push_back(timing.wall);
            processors[kind].push_back(timing.processor);
        }
    }
    std::printf("%s (%.0f MiB)\n", name, static_cast<double>(files) * static_cast<double>(bytesEach) / kMiB);
    const char* labels[] = {"plain", "text layer, pages without words", "text layer, 600 words a page"};
    const double plain = Median(processors[0]), empty = Median(processors[1]);
    for (size_t kind = 0; kind < kinds.size(); ++kind) {
        std::printf("  %-32s %7.3f s wall, %7.3f s processor: %.3f of plain\n", labels[kind], Median(walls[kind]),
                    Median(processors[kind]), Median(processors[kind]) / plain);
    }
    std::printf("  without words / plain, processor: %.3f (target <= %.2f: %s)\n", empty / plain, kEmptyTarget,
                empty / plain <= kEmptyTarget ? "met" : "MISSED");
    unlink(output.c_str());
    for (const std::string& path : paths)
        unlink(path.c_str());
    return empty / plain <= kEmptyTarget;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::printf("median of %d runs each, warm page cache, sync before each run\n", runs);
    const std::vector<char> noise = Noise(static_cast<size_t>(8 * kMiB));
    bool met = RunScenario(dir, "200 scans of 1 MB", 200, kMiB, noise, runs);
    met = RunScenario(dir, "2,000 scans of 100 KB", 2'000, 102'400, noise, runs) && met;
    return met ? 0 : 1;
}
