// SPDX-License-Identifier: GPL-2.0-or-later
// Stripping metadata against the plain export of the same phone photos, side by side in one run.
//   nice build/release/bench/strip_bench [runs]
// Each photo is a real JPEG's tables and scan header, about 1 MB of entropy-coded data (noise
// with every 0xFF stuffed, as an encoder writes it), Exif with GPS data, XMP, and a motion-photo
// trailer after the end-of-image marker; a second set lacks the trailer, so the walk has to go
// through every byte the plain export copies. Prints each median of elapsed and of CPU time
// (warm page cache, pending writes flushed before each run), the elapsed ratio against the
// target, and the peak resident memory rise of each export in a child process. Exits with 1 when
// a target is missed. STRIP_BENCH_TRACE=1 prints every single timing to stderr.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchInputs.h"
#include "ExportDetails.h"
#include "MakeJpeg.h"
#include "PeakMemory.h"
#include "PhoneJpeg.h"
#include "TempDir.h"

namespace {

constexpr double kTarget = 1.5;
constexpr long kMemoryLimitKiB = 16 * 1024;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "strip_bench: %s\n", what.c_str());
    std::exit(2);
}

// Tables and scan header of a real 4000 x 3000 JPEG, then `dataSize` bytes of stuffed noise.
std::string PhotoPicture(const std::vector<char>& noise, size_t dataSize, size_t seed)
{
    const phone_jpeg::Parts parts = phone_jpeg::Split(MakeJpeg({.width = 4000, .height = 3000}));
    const size_t scan = parts.tablesOnward.find("\xFF\xDA");
    const size_t scanEnd = scan + 2
        + (static_cast<uint8_t>(parts.tablesOnward[scan + 2]) << 8
           | static_cast<uint8_t>(parts.tablesOnward[scan + 3]));
    std::string picture = parts.startOfImage + parts.appSegments + parts.tablesOnward.substr(0, scanEnd);
    picture.reserve(picture.size() + dataSize + dataSize / 128);
    for (size_t i = 0; i < dataSize; ++i) {
        const char byte = noise[(seed * 7919 + i) % noise.size()];
        picture.push_back(byte);
        if (byte == '\xFF')
            picture.push_back('\0');
    }
    return picture + "\xFF\xD9";
}

std::string PhoneFile(const std::string& picture, size_t trailer)
{
    return picture.substr(0, 2) + phone_jpeg::Exif(6) + phone_jpeg::Xmp() + picture.substr(2)
        + (trailer > 0 ? phone_jpeg::MotionPhotoTrailer(trailer) : "");
}

bool Export(const std::vector<std::string>& paths, const std::string& output, bool strip)
{
    jpeg2pdf::ExportOptions options;
    options.stripMetadata = strip;
    return jpeg2pdf::ExportResultCode(jpeg2pdf::ExportJpegList(paths, output, options)) == jpeg2pdf::kExportSaved;
}

// One export into a fresh output, after everything written before has reached the disk; its
// output's size in `bytes`.
struct Timing {
    double seconds;  // elapsed
    double cpuSeconds;  // user and system time of this process: less disturbed by a busy machine
};

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One export into a fresh output, after everything written before has reached the disk; its
// output's size in `bytes`.
Timing TimeOneRun(const std::vector<std::string>& paths, const std::string& output, bool strip, int64_t& bytes)
{
    sync();
    unlink(output.c_str());
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (!Export(paths, output, strip))
        Fail("export failed");
    const Timing timing {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                         CpuSeconds() - cpuStart};
    struct stat info { };
    bytes = stat(output.c_str(), &info) == 0 ? info.st_size : -1;
    if (std::getenv("STRIP_BENCH_TRACE"))
        std::fprintf(stderr, "%s %.3f s, cpu %.3f s\n", strip ? "strip" : "plain", timing.seconds, timing.cpuSeconds);
    return timing;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool RunScenario(const TempDir& dir, const char* name, const std::vector<char>& noise, size_t trailer, int runs)
{
    constexpr int kFiles = 200;
    std::vector<std::string> paths;
    int64_t total = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::string file = PhoneFile(PhotoPicture(noise, 1'000'000 - trailer, static_cast<size_t>(i)), trailer);
        paths.push_back(dir.Write("in" + std::to_string(i) + ".jpg", file));
        total += static_cast<int64_t>(file.size());
    }
    const std::string output = dir.File("out.pdf");
    int64_t plainBytes = 0, strippedBytes = 0;
    TimeOneRun(paths, output, false, plainBytes);  // brings the inputs into the page cache
    TimeOneRun(paths, output, true, strippedBytes);
    std::vector<double> plain, stripped, plainCpu, strippedCpu;
    const auto timed = [&](bool strip) {
        const Timing timing = TimeOneRun(paths, output, strip, strip ? strippedBytes : plainBytes);
        (strip ? stripped : plain).push_back(timing.seconds);
        (strip ? strippedCpu : plainCpu).push_back(timing.cpuSeconds);
    };
    for (int run = 0; run < runs; ++run) {
        // Alternating which goes first, so drift on the machine favours neither.
        timed(run % 2 == 1);
        timed(run % 2 == 0);
    }
    const double ratio = Median(stripped) / Median(plain);
    const long plainKiB = PeakRssRiseKiB([&] { return Export(paths, output, false); }),
               strippedKiB = PeakRssRiseKiB([&] { return Export(paths, output, true); });
    const bool met = ratio <= kTarget && strippedKiB >= 0 && strippedKiB < kMemoryLimitKiB;
    std::printf("%s: %d files, %.1f MB\n", name, kFiles, static_cast<double>(total) / 1e6);
    std::printf("  plain export     median %6.3f s (cpu %6.3f s)  output %6.1f MB  peak memory rise %5ld KiB\n",
                Median(plain), Median(plainCpu), static_cast<double>(plainBytes) / 1e6, plainKiB);
    std::printf("  --strip-metadata median %6.3f s (cpu %6.3f s)  output %6.1f MB  peak memory rise %5ld KiB\n",
                Median(stripped), Median(strippedCpu), static_cast<double>(strippedBytes) / 1e6, strippedKiB);
    std::printf("  strip / plain: %.3f, cpu %.3f (target <= %.2f, memory < %ld KiB: %s)\n", ratio,
                Median(strippedCpu) / Median(plainCpu), kTarget, kMemoryLimitKiB, met ? "met" : "MISSED");
    unlink(output.c_str());
    for (const std::string& path : paths)
        unlink(path.c_str());
    return met;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    std::printf("folder %s; median of %d runs each, warm page cache, sync before each run\n", dir.Path().c_str(), runs);
    const std::vector<char> noise = Noise(8 * 1024 * 1024);
    bool met = RunScenario(dir, "phone photos with Exif, XMP and a 200 KB motion-photo trailer", noise, 200'000, runs);
    met = RunScenario(dir, "the same without a trailer (every byte walked)", noise, 0, runs) && met;
    return met ? 0 : 1;
}
