// SPDX-License-Identifier: GPL-2.0-or-later
// Export speed and memory against the floor of plainly copying the same bytes into one file.
//   nice build/release/bench/export_bench [runs]
// Makes its inputs in a temporary folder and removes them at the end. For each timed scenario it
// prints the median export time and the median time of the fastest plain copy of the same files
// into one file, measured in the same run with a warm page cache, and their ratio against the
// target. Then the peak resident memory rise while exporting one 1 GiB JPEG, in a child process.
// Exits with 1 when a target is missed. EXPORT_BENCH_TRACE=1 prints every single timing to stderr.
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchInputs.h"
#include "MakeJpeg.h"
#include "PeakMemory.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = 1024 * kKiB;
constexpr size_t kReadWriteBuffer = 512 * kKiB;  // the fastest of 32 KiB .. 4 MiB tried on ext4

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "export_bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}



// --- The floor: plain ways to put the bytes of every file into one file -----------------------------

// Gathers the files in one buffer and writes it whenever it is full, so many small files cost
// few writes.
bool ReadWriteCopy(const std::vector<std::string>& paths, const std::string& output)
{
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    std::vector<char> buffer(kReadWriteBuffer);
    size_t used = 0;
    bool ok = true;
    for (size_t i = 0; ok && i < paths.size(); ++i) {
        const int in = open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
        ok = in >= 0;
        for (ssize_t got = 1; ok && got > 0;) {
            if (used == buffer.size()) {
                ok = write(out, buffer.data(), used) == static_cast<ssize_t>(used);
                used = 0;
            }
            got = read(in, buffer.data() + used, buffer.size() - used);
            ok = ok && got >= 0;
            used += static_cast<size_t>(std::max<ssize_t>(got, 0));
        }
        if (in >= 0)
            close(in);
    }
    ok = ok && write(out, buffer.data(), used) == static_cast<ssize_t>(used);
    return close(out) == 0 && ok;
}

template <typename KernelCopy>
bool KernelSideCopy(const std::vector<std::string>& paths, const std::string& output, KernelCopy copy)
{
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return false;
    bool ok = true;
    for (size_t i = 0; ok && i < paths.size(); ++i) {
        const int in = open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
        ok = in >= 0;
        ssize_t done;
        while (ok && (done = copy(in, out)) > 0) {
        }
        ok = ok && done == 0;
        if (in >= 0)
            close(in);
    }
    return close(out) == 0 && ok;
}

bool CopyFileRangeCopy(const std::vector<std::string>& paths, const std::string& output)
{
    return KernelSideCopy(paths, output,
                          [](int in, int out) { return copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0); });
}

bool SendFileCopy(const std::vector<std::string>& paths, const std::string& output)
{
    return KernelSideCopy(paths, output, [](int in, int out) { return sendfile(out, in, nullptr, 1 << 30); });
}

bool Export(const std::vector<std::string>& paths, const std::string& output)
{
    return jpeg2pdf::ConvertJpegListToPdf(paths, output) == jpeg2pdf::kExportSaved;
}

struct Contender {
    const char* name;
    bool (*run)(const std::vector<std::string>&, const std::string&);
    std::vector<double> seconds;
    double Median() const
    {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double Fastest() const { return *std::min_element(seconds.begin(), seconds.end()); }
};

// --- Timing ----------------------------------------------------------------------------------------

// Times one run into an output that does not exist yet. Everything written before, the previous
// run's output included, is written back first, so no run pays for another's writes. Then the
// previous output is removed just before the clock starts, so the memory its pages held is reused
// at once: in a virtual machine that hands free memory back to its host after a pause, memory
// that lay free for a while costs a host fault per page when next written, which doubled runs at
// random (the large writes of a read/write loop met it; the kernel's page-sized copies did not).
double TimeOneRun(const Contender& contender, const std::vector<std::string>& paths, const std::string& output)
{
    sync();
    unlink(output.c_str());
    const auto start = std::chrono::steady_clock::now();
    if (!contender.run(paths, output))
        Fail(std::string(contender.name) + " failed");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (std::getenv("EXPORT_BENCH_TRACE"))
        std::fprintf(stderr, "%s %.3f s\n", contender.name, seconds);
    return seconds;
}

struct Scenario {
    const char* name;
    int files;
    int64_t bytesEach;
    JpegRecipe header;
    double target;
};

bool RunScenario(const TempDir& dir, const Scenario& scenario, const std::vector<char>& noise, int runs)
{
    const std::string jpeg = MakeJpeg(scenario.header);
    std::vector<std::string> paths;
    for (int i = 0; i < scenario.files; ++i) {
        paths.push_back(dir.File("in" + std::to_string(i) + ".jpg"));
        if (!WriteJpegOfSize(paths.back(), jpeg, noise, scenario.bytesEach, static_cast<size_t>(i)))
            Fail(paths.back());
    }
    // Same folder, so every output lands on the same file system.
    const std::string output = dir.File("out");
    std::vector<Contender> contenders = {{"export", Export, {}},
                                         {"read/write 512 KiB", ReadWriteCopy, {}},
                                         {"copy_file_range", CopyFileRangeCopy, {}},
                                         {"sendfile", SendFileCopy, {}}};
    // One untimed round brings every input into the page cache and every code path into memory.
    for (const Contender& contender : contenders)
        TimeOneRun(contender, paths, output);
    // Each round starts with a different contender, so load drift on the machine favours none.
    for (int run = 0; run < runs; ++run) {
        for (size_t k = 0; k < contenders.size(); ++k) {
            Contender& contender = contenders[(run + k) % contenders.size()];
            contender.seconds.push_back(TimeOneRun(contender, paths, output));
        }
    }
    const auto floor = std::min_element(contenders.begin() + 1, contenders.end(),
                                        [](const Contender& a, const Contender& b) { return a.Median() < b.Median(); });
    const double ratio = contenders[0].Median() / floor->Median();
    const bool met = ratio <= scenario.target;
    std::printf("%s (%.0f MiB)\n", scenario.name,
                static_cast<double>(scenario.files) * static_cast<double>(scenario.bytesEach) / kMiB);
    for (const Contender& contender : contenders) {
        std::printf("  %-20s median %7.3f s  fastest %7.3f s", contender.name, contender.Median(), contender.Fastest());
        if (&contender != &contenders[0])
            std::printf("  export / this %.2f%s", contenders[0].Median() / contender.Median(),
                        &contender == &*floor ? "  <- floor" : "");
        std::printf("\n");
    }
    std::printf("  export / floor: %.3f (target <= %.2f: %s)\n", ratio, scenario.target, met ? "met" : "MISSED");
    unlink(output.c_str());
    for (const std::string& path : paths)
        unlink(path.c_str());
    return met;
}

// --- Memory ----------------------------------------------------------------------------------------

bool RunMemoryScenario(const TempDir& dir, const std::vector<char>& noise)
{
    constexpr long kLimitKiB = 16 * 1024;
    const std::string huge = dir.File("huge.jpg"), pdf = dir.File("huge.pdf");
    if (!WriteJpegOfSize(huge, MakeJpeg({.width = 4000, .height = 3000}), noise, 1024 * kMiB, 1))
        Fail(huge);
    sync();
    const long rise = PeakRssRiseKiB([&] { return Export({huge}, pdf); });
    const bool met = rise >= 0 && rise < kLimitKiB;
    std::printf("one 1 GiB JPEG\n  peak resident memory rise while exporting: %ld KiB (target < %ld KiB: %s)\n", rise,
                kLimitKiB, met ? "met" : "MISSED");
    unlink(huge.c_str());
    unlink(pdf.c_str());
    return met;
}

const char* FileSystemName(const std::string& path)
{
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0)
        return "unknown";
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53: return "ext2/3/4";
    case 0x01021994: return "tmpfs";
    case 0x9123683E: return "btrfs";
    case 0x58465342: return "xfs";
    case 0x794C7630: return "overlayfs";
    case 0x2FC12FC1: return "zfs";
    default: return "other";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::printf("folder %s (%s); median of %d runs, warm page cache, sync before each run\n", dir.Path().c_str(),
                FileSystemName(dir.Path()), runs);
    std::printf("floor = the fastest plain copy of the same files into one file, measured alongside\n");
    const std::vector<char> noise = Noise(static_cast<size_t>(8 * kMiB));
    bool met = RunScenario(dir, {"200 JPEGs of 5 MB", 200, 5'000'000, {.width = 4000, .height = 3000}, 1.05}, noise,
                           runs);
    met = RunScenario(dir, {"10,000 JPEGs of 2 KB", 10'000, 2'048, {.width = 64, .height = 48}, 2.0}, noise, runs)
          && met;
    met = RunMemoryScenario(dir, noise) && met;
    return met ? 0 : 1;
}
