// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the PNG chunk reader through a real file, as the export engine meets
// them: every input ends in an outcome, the ranges it gives lie inside the file in order, and the
// probe's verdict never depends on whether the profile and density were asked for. A picture to be
// decoded is decoded (when small enough to be quick): every row comes, or decoding stops with a reason.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "PngChunks.h"
#include "PngPixels.h"
#include "ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int fd = -1;
    const std::string& path = ScratchPath(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    jpeg2pdf::ProbeOutcome plain, full;
    jpeg2pdf::ProbePngFile(path, {.acceptGray = true}, plain);
    jpeg2pdf::ProbePngFile(path, {.density = true, .profile = true, .acceptGray = true, .acceptPng = true}, full);
    const bool accepted = plain.problem.refusal == jpeg2pdf::EntryRefusal::None;
    if (accepted != (full.problem.refusal == jpeg2pdf::EntryRefusal::None))
        std::abort();
    if (!accepted)
        return 0;
    const jpeg2pdf::ImageCoding& coding = full.coding;
    int64_t after = 8;
    for (const jpeg2pdf::FileRange& range : coding.ranges) {
        if (range.offset < after + 8 || range.length < 0 || range.offset + range.length + 4 > int64_t(size))
            std::abort();
        after = range.offset + range.length + 4;
    }
    const bool decoded = coding.kind == jpeg2pdf::ImageCodingKind::Pixels;
    if (coding.ranges.empty() != decoded || full.info.Width <= 0 || full.info.Height <= 0 || coding.palette.size() > 768
        || coding.palette.size() % 3 != 0 || (!full.profile.empty() && !full.profileIgnored.empty()))
        std::abort();
    if (!decoded || int64_t {full.info.Width} * full.info.Height > (int64_t {1} << 20))
        return 0;
    const jpeg2pdf::PixelFormat format = jpeg2pdf::PixelFormatOf(coding, full.info.Width, full.info.Height);
    jpeg2pdf::EntryProblem problem;
    const auto rows = jpeg2pdf::OpenPngPixels(path, format, coding.palette, problem);
    if (!rows)
        return problem.refusal == jpeg2pdf::EntryRefusal::None ? (std::abort(), 0) : 0;
    std::string samples(format.SampleRowBytes(), '\0'), alpha(format.AlphaRowBytes(), '\0');
    for (int32_t y = 0; y < format.height; ++y) {
        if (!rows->NextRow(reinterpret_cast<uint8_t*>(samples.data()), reinterpret_cast<uint8_t*>(alpha.data())))
            return rows->Problem().refusal == jpeg2pdf::EntryRefusal::PixelsDamaged ? 0 : (std::abort(), 0);
    }
    return 0;
}
