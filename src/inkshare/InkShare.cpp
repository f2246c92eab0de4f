// SPDX-License-Identifier: GPL-2.0-or-later
#include "InkShare.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "JpegDecoder.h"
#include "PictureSignature.h"
#include "PngRows.h"
#include "TiffRows.h"

namespace ink {

namespace {

// What libjpeg may allocate for one picture while it is measured.
constexpr long kJpegMemoryLimit = 256L << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

InkReading Unmeasured(std::string problem)
{
    InkReading reading;
    reading.problem = std::move(problem);
    return reading;
}

InkReading MeasureJpeg(std::FILE* file, int eighths)
{
    jpegdecode::JpegDecoder decoder({file, nullptr, 0}, {kJpegMemoryLimit, false, true});
    if (!decoder.ReadHeader())
        return Unmeasured("JPEG: " + decoder.Failure().message);
    const jpegdecode::JpegHeader& header = decoder.Header();
    // The scale asked for: the smallest whose output covers the picture's size times eighths / 8.
    const int width = (header.width * eighths + 7) / 8, height = (header.height * eighths + 7) / 8;
    if (!decoder.Start(jpegdecode::ScaleRule::Covering(width, height)))
        return Unmeasured("JPEG: " + decoder.Failure().message);
    const jpegdecode::JpegOutput& output = decoder.Output();
    std::vector<uint8_t> plane(size_t(output.width) * size_t(output.height), 255);
    const int components = output.components;
    const bool read = decoder.ReadRows([&](int y, const uint8_t* samples) {
        uint8_t* out = plane.data() + size_t(y) * size_t(output.width);
        if (components == 1) {
            std::copy(samples, samples + output.width, out);
            return;
        }
        for (int x = 0; x < output.width; ++x, samples += 3)
            out[x] = static_cast<uint8_t>((299 * samples[0] + 587 * samples[1] + 114 * samples[2] + 500) / 1000);
    });
    if (!read)
        return Unmeasured("JPEG: " + decoder.Failure().message);
    if (decoder.PictureIncomplete())
        return Unmeasured("JPEG: the picture's data stops before its end");
    InkReading reading;
    reading.measured = true;
    reading.percent = InkPercentOfPlane(plane, output.width, output.height, output.eighths);
    return reading;
}

}  // namespace

InkReading MeasureInk(const std::string& path, int eighths)
{
    if (eighths != 1 && eighths != 2 && eighths != 4 && eighths != 8)
        return Unmeasured("no such scale");
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rbe"));
    if (!file)
        return Unmeasured("cannot be opened");
    uint8_t first[jpeg2pdf::kPictureSignatureBytes];
    const size_t got = std::fread(first, 1, sizeof first, file.get());
    const jpeg2pdf::PictureKind kind = jpeg2pdf::PictureKindOfSignature(first, got);
    if (kind == jpeg2pdf::PictureKind::Jpeg) {
        std::rewind(file.get());
        return MeasureJpeg(file.get(), eighths);
    }
    if (kind == jpeg2pdf::PictureKind::Png || kind == jpeg2pdf::PictureKind::Tiff) {
        file.reset();
        ReducedPlane plane;
        std::string problem;
        const bool read = kind == jpeg2pdf::PictureKind::Png ? ReadReducedPng(path, eighths, plane, problem)
                                                             : ReadReducedTiff(path, eighths, plane, problem);
        if (!read)
            return Unmeasured(problem);
        InkReading reading;
        reading.measured = true;
        reading.percent = InkPercentOfPlane(plane.samples, plane.width, plane.height, eighths);
        return reading;
    }
    return Unmeasured("not a JPEG, PNG or TIFF picture");
}

}  // namespace ink
