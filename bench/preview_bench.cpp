// SPDX-License-Identifier: GPL-2.0-or-later
// Preview cost against floors measured in the same run:
//   baseline photo:     preview time / bare libjpeg decode at 1/8 scale   (goal <= 1.1)
//   progressive photo:  preview time / full-size libjpeg decode           (goal <= 0.4)
//   20,000 x 15,000 baseline JPEG: rise of peak resident memory while previewing (goal < 32 MiB)
// Photos are made with ImageMagick's plasma generator (needs `convert`). Usage: preview_bench [width height runs]
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "MakeJpeg.h"
#include "PicturePreview.h"
#include "TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

// A plain libjpeg decode at scale/8 that throws the rows away: the floor any preview must pay.
void BareDecode(const std::string& path, unsigned int eighths)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = eighths;
    cinfo.scale_denom = 8;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<JSAMPLE> row(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows, 1);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
}

template <typename F>
double MedianSeconds(int runs, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    }
    return -1;
}

// Peak resident memory added by one preview, measured in a fresh child so earlier runs do not count.
long PeakRiseKiB(const std::string& path)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        // Reset the high-water mark to the current size, then preview.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKiB("VmRSS:");
        LoadPreviewPicture(QByteArray::fromStdString(path));
        const long rise = StatusKiB("VmHWM:") - before;
        (void)!::write(pipeFds[1], &rise, sizeof rise);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    long rise = -1;
    (void)!::read(pipeFds[0], &rise, sizeof rise);
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return rise;
}

bool MakePhoto(const std::string& path, int width, int height, bool progressive)
{
    const std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height)
                              + " -seed 7 plasma:fractal -quality 90 -sampling-factor 2x2 "
                              + (progressive ? "-interlace JPEG " : "-interlace none ") + path;
    return std::system(command.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 4000;
    const int height = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    TempDir dir;
    const std::string baseline = dir.File("baseline.jpg");
    const std::string progressive = dir.File("progressive.jpg");
    if (!MakePhoto(baseline, width, height, false) || !MakePhoto(progressive, width, height, true)) {
        std::fprintf(stderr, "could not make the photos with ImageMagick's convert\n");
        return 1;
    }
    const QByteArray baselinePath = QByteArray::fromStdString(baseline);
    const QByteArray progressivePath = QByteArray::fromStdString(progressive);

    const double bareEighth = MedianSeconds(runs, [&] { BareDecode(baseline, 1); });
    const double bareFull = MedianSeconds(runs, [&] { BareDecode(baseline, 8); });
    const double previewBaseline = MedianSeconds(runs, [&] { LoadPreviewPicture(baselinePath); });
    const double progressiveFull = MedianSeconds(runs, [&] { BareDecode(progressive, 8); });
    const double previewProgressive = MedianSeconds(runs, [&] { LoadPreviewPicture(progressivePath); });

    std::printf("photos %d x %d, median of %d runs\n", width, height, runs);
    std::printf("baseline:    bare 1/8 decode %.1f ms, full decode %.1f ms (floor = %.2f of full)\n",
                bareEighth * 1e3, bareFull * 1e3, bareEighth / bareFull);
    std::printf("             preview %.1f ms = %.2f x bare 1/8 decode (goal <= 1.10)\n",
                previewBaseline * 1e3, previewBaseline / bareEighth);
    std::printf("progressive: full decode %.1f ms, preview %.1f ms = %.2f x full decode (goal <= 0.40)\n",
                progressiveFull * 1e3, previewProgressive * 1e3, previewProgressive / progressiveFull);

    // A very large baseline JPEG, made with libjpeg directly (ImageMagick would need gigabytes).
    JpegRecipe huge;
    huge.width = 20000;
    huge.height = 15000;
    huge.gradient = true;
    huge.quality = 75;
    const std::string hugePath = dir.Write("huge.jpg", MakeJpeg(huge));
    const long rise = PeakRiseKiB(hugePath);
    std::printf("20000 x 15000 baseline: peak resident memory rise %.1f MiB (goal < 32)\n", rise / 1024.0);
    return 0;
}
