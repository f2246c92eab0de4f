// SPDX-License-Identifier: GPL-2.0-or-later
// What --deskew costs, on A4 pages drawn at 300 dpi and turned by known angles (half of them
// blurred and specked as scanners deliver them), side by side in one run:
//   - measuring a page from its file (rows from the top at a reduced scale) against the floor of
//     decoding the whole picture at full size (target at most 0.3 x);
//   - leafbind-export --ocr --deskew against --ocr alone, one job (target at most 1.10 x);
// and how far each measured skew lies from the angle the page was drawn at (target 0.1 degree).
//   nice build/release/bench/deskew_bench [runs]        (default 5 runs, the median counts)
// Needs ImageMagick and GNU time. Exits with 1 when a target is missed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "JpegDecoder.h"
#include "PageSkew.h"
#include "ShellCommand.h"
#include "TempDir.h"
#include "TimedRun.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// 40 lines of prose on A4 at 300 dpi, turned `degrees` clockwise.
void DrawPage(const std::string& path, double degrees, bool damaged)
{
    std::string command = "convert -size 2480x3508 xc:white -font DejaVu-Sans -density 300 -pointsize 11 -fill black";
    for (int line = 0; line < 40; ++line)
        command += " -annotate +220+" + std::to_string(300 + 75 * line)
            + " 'archive letter invoice number river office record search paper member " + std::to_string(line) + "'";
    if (damaged)
        command += " -blur 0x1.2 -attenuate 0.25 +noise Impulse";
    command += " -background white -rotate " + std::to_string(degrees)
        + " -gravity center -extent 2480x3508 -quality 90 -units PixelsPerInch -density 300 " + Quoted(path);
    if (RunCommand(command).status != 0) {
        std::fprintf(stderr, "deskew_bench: ImageMagick cannot draw the pages\n");
        std::exit(2);
    }
}

double FullDecodeSeconds(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const auto start = Clock::now();
    jpegdecode::JpegDecoder decoder({.file = file}, {});
    std::vector<uint8_t> rows;
    decoder.ReadHeader() && decoder.Start(jpegdecode::ScaleRule::Covering(1 << 20, 1 << 20))
        && decoder.ReadRows([&](int, const uint8_t* samples) { rows.assign(samples, samples + 16); });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::fclose(file);
    return seconds;
}

double MeasureSeconds(const std::string& path, std::optional<double>& skew)
{
    const auto start = Clock::now();
    skew = ocr::MeasureFileSkew(path, 1);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double ProcessorSeconds(const std::vector<std::string>& argv, const std::string& peak)
{
    const TimedRun run = RunUnderTime(argv, peak);
    if (!run.failure.empty()) {
        std::fprintf(stderr, "deskew_bench: %s\n", run.failure.c_str());
        std::exit(2);
    }
    return run.measure.cpuSeconds;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TempDir dir;
    const double angles[] = {-4, -1.5, -0.5, 0.3, 1, 2.5, 6, 9};
    std::vector<std::string> pages;
    for (size_t i = 0; i < std::size(angles); ++i) {
        pages.push_back(dir.File("page" + std::to_string(i) + ".jpg"));
        DrawPage(pages.back(), angles[i], i % 2 == 1);
    }
    bool met = true;
    double decodeTotal = 0, measureTotal = 0;
    std::printf("%-8s %10s %10s %8s %10s\n", "drawn", "decode ms", "measure ms", "ratio", "measured");
    for (size_t i = 0; i < pages.size(); ++i) {
        std::vector<double> decode, measure;
        std::optional<double> skew;
        for (int r = 0; r < runs; ++r) {
            decode.push_back(FullDecodeSeconds(pages[i]));
            measure.push_back(MeasureSeconds(pages[i], skew));
        }
        const double d = Median(decode), m = Median(measure);
        decodeTotal += d, measureTotal += m;
        // Drawn clockwise; measured as the lines' counter-clockwise climb.
        const double error = skew ? std::abs(*skew + angles[i]) : INFINITY;
        met = met && error <= 0.1;
        std::printf("%-8.1f %10.1f %10.1f %8.2f %10.3f\n", angles[i], d * 1e3, m * 1e3, m / d, skew ? -*skew : NAN);
    }
    const double ratio = measureTotal / decodeTotal;
    std::printf("measuring against a full decode: %.2f x (target at most 0.30)\n", ratio);
    met = met && ratio <= 0.30;

    const std::string peak = dir.File("peak"), out = dir.File("out.pdf");
    std::vector<double> ocr, deskew;
    for (int r = 0; r < std::max(1, runs / 2); ++r) {
        std::vector<std::string> plain = {LEAFBIND_EXPORT_PROGRAM, "-f", "-q", "-o", out, "--ocr", "--jobs", "1", pages[0], pages[1]};
        ocr.push_back(ProcessorSeconds(plain, peak));
        plain.insert(plain.begin() + 5, "--deskew");
        deskew.push_back(ProcessorSeconds(plain, peak));
    }
    const double ocrRatio = Median(deskew) / Median(ocr);
    std::printf("--ocr --deskew against --ocr: %.3f x (target at most 1.10)\n", ocrRatio);
    met = met && ocrRatio <= 1.10;
    return met ? 0 : 1;
}
