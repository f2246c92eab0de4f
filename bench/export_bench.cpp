// Export speed and memory against the floor of plainly copying the same bytes into one file.
//   build/release/bench/export_bench [runs]
// Creates its inputs in a temporary folder, removes them at the end, and prints for each scenario
// the median export time, the median copy time of the same run, and their ratio. Then the peak
// resident memory rise while exporting a 1 GiB JPEG, measured in a child process.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MakeJpeg.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;

// A real JPEG header followed by incompressible filler up to `size` bytes: the engine only reads
// the header and copies the rest, so the filler costs what real image data would.
void WriteJpegOfSize(const std::string& path, int64_t size, unsigned seed)
{
    const std::string head = MakeJpeg({.width = 4000, .height = 3000});
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::exit(2);
    std::fwrite(head.data(), 1, head.size(), file);
    std::vector<unsigned char> block(kMiB);
    uint32_t state = seed * 2654435761u + 1;
    for (int64_t left = size - static_cast<int64_t>(head.size()); left > 0;) {
        for (auto& b : block)
            b = static_cast<unsigned char>((state = state * 1664525u + 1013904223u) >> 24);
        const size_t n = static_cast<size_t>(std::min<int64_t>(left, kMiB));
        if (std::fwrite(block.data(), 1, n, file) != n)
            std::exit(2);
        left -= static_cast<int64_t>(n);
    }
    if (std::fclose(file) != 0)
        std::exit(2);
}

// The floor: read every file and write its bytes into one output, 1 MiB at a time.
bool PlainCopy(const std::vector<std::string>& paths, const std::string& output)
{
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        return false;
    std::vector<char> buffer(kMiB);
    bool ok = true;
    for (const std::string& path : paths) {
        const int in = open(path.c_str(), O_RDONLY);
        ssize_t got;
        while (ok && in >= 0 && (got = read(in, buffer.data(), buffer.size())) > 0)
            ok = write(out, buffer.data(), static_cast<size_t>(got)) == got;
        ok = ok && in >= 0;
        if (in >= 0)
            close(in);
    }
    return close(out) == 0 && ok;
}

template <typename F>
double Seconds(F&& work)
{
    const auto start = std::chrono::steady_clock::now();
    if (!work()) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RunScenario(const TempDir& dir, const char* name, int files, int64_t bytesEach, int runs)
{
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(dir.File(std::string(name) + std::to_string(i) + ".jpg"));
        WriteJpegOfSize(paths.back(), bytesEach, static_cast<unsigned>(i));
    }
    const std::string pdf = dir.File("out.pdf"), copy = dir.File("copy.bin");
    std::vector<double> exportTimes, copyTimes;
    // Alternating the two keeps drift in the machine's load from favouring either.
    // Writing back the previous run's data is settled first, so it does not land in the next timing.
    for (int run = 0; run < runs; ++run) {
        sync();
        exportTimes.push_back(
            Seconds([&] { return jpeg2pdf::ConvertJpegListToPdf(paths, pdf) == jpeg2pdf::kExportSaved; }));
        unlink(pdf.c_str());
        sync();
        copyTimes.push_back(Seconds([&] { return PlainCopy(paths, copy); }));
        unlink(copy.c_str());
    }
    const double exportMedian = Median(exportTimes), copyMedian = Median(copyTimes);
    const double totalMiB = static_cast<double>(files) * static_cast<double>(bytesEach) / kMiB;
    std::printf("%-34s %8.0f MiB  export %8.3f s  copy %8.3f s  ratio %5.2f\n", name, totalMiB, exportMedian,
                copyMedian, exportMedian / copyMedian);
    for (const std::string& path : paths)
        unlink(path.c_str());
}

// Peak resident memory rise (KiB) of a child process while it runs `work`.
template <typename F>
long PeakRssRiseKiB(F&& work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const bool ok = work();
        getrusage(RUSAGE_SELF, &after);
        const long rise = ok ? after.ru_maxrss - before.ru_maxrss : -1;
        (void)!write(pipeFds[1], &rise, sizeof rise);
        _exit(0);
    }
    long rise = -1;
    (void)!read(pipeFds[0], &rise, sizeof rise);
    waitpid(child, nullptr, 0);
    close(pipeFds[0]);
    close(pipeFds[1]);
    return rise;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::printf("median of %d runs; ratio = export time / plain copy time of the same bytes\n", runs);
    RunScenario(dir, "many small photos (500 x 200 KiB)", 500, 200 * 1024, runs);
    RunScenario(dir, "camera photos (40 x 8 MiB)", 40, 8 * kMiB, runs);
    RunScenario(dir, "one huge JPEG (1 x 1 GiB)", 1, 1024 * kMiB, runs);

    const std::string huge = dir.File("huge.jpg"), pdf = dir.File("huge.pdf"), copy = dir.File("huge.bin");
    WriteJpegOfSize(huge, 1024 * kMiB, 7);
    const long exportRise =
        PeakRssRiseKiB([&] { return jpeg2pdf::ConvertJpegListToPdf({huge}, pdf) == jpeg2pdf::kExportSaved; });
    const long copyRise = PeakRssRiseKiB([&] { return PlainCopy({huge}, copy); });
    std::printf("peak RSS rise exporting a 1 GiB JPEG: %ld KiB (plain copy with a 1 MiB buffer: %ld KiB)\n",
                exportRise, copyRise);
    unlink(huge.c_str());
    unlink(pdf.c_str());
    unlink(copy.c_str());
    return 0;
}
