// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffPixels.h"

#include <bit>
#include <cstring>
#include <vector>

#include "JpegFrameProbe.h"
#include "TiffPages.h"
#include "TiffRows.h"

namespace jpeg2pdf {

namespace {

class TiffPixelRows final : public PixelRows {
public:
    TiffPixelRows(const PixelFormat& format, TiffHandle& tiff) : format_(format), tiff_(tiff), rows_(tiff) { }

    bool Open(const ImageCoding& coding, EntryProblem& problem)
    {
        // The directory must still say what validation read.
        ImageCoding again;
        if (!ReadTiffPageCoding(tiff_, again, problem))
            return false;
        if (!(again == coding)) {
            problem = {};
            problem.refusal = EntryRefusal::ChangedSinceRead;
            return false;
        }
        TIFF* tif = tiff_.Tif();
        uint16_t compression = COMPRESSION_NONE, photometric = PHOTOMETRIC_MINISBLACK;
        TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
        // libtiff turns JPEG's YCbCr into RGB itself.
        if (compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        invert_ = photometric == PHOTOMETRIC_MINISWHITE;
        if (!rows_.Begin() || rows_.RowBytes() != RawRowBytes()) {
            problem.refusal = EntryRefusal::PixelsDamaged;
            return false;
        }
        raw_.resize(rows_.RowBytes());
        return true;
    }

    bool NextRow(uint8_t* samples, uint8_t* alpha) override
    {
        if (!rows_.Next(raw_.data())) {
            problem_.refusal = EntryRefusal::PixelsDamaged;
            return false;
        }
        const size_t sampleBytes = static_cast<size_t>(format_.bitsPerComponent) / 8;
        if (format_.alphaBits == 0) {
            if (samples)
                std::memcpy(samples, raw_.data(), format_.SampleRowBytes());
        } else {
            // Whole bytes a sample: each pixel's colours, then its alpha.
            const size_t colourBytes = sampleBytes * static_cast<size_t>(format_.colours);
            const uint8_t* pixel = raw_.data();
            for (int32_t x = 0; x < format_.width; ++x, pixel += colourBytes + sampleBytes) {
                if (samples)
                    std::memcpy(samples + static_cast<size_t>(x) * colourBytes, pixel, colourBytes);
                if (alpha)
                    std::memcpy(alpha + static_cast<size_t>(x) * sampleBytes, pixel + colourBytes, sampleBytes);
            }
        }
        if (sampleBytes == 2 && std::endian::native == std::endian::little) {
            if (samples)
                SwapPairs(samples, format_.SampleRowBytes());
            if (alpha)
                SwapPairs(alpha, format_.AlphaRowBytes());
        }
        // Photometric 0: the PDF's grey has 0 black.
        if (invert_ && samples) {
            for (size_t i = 0; i < format_.SampleRowBytes(); ++i)
                samples[i] = static_cast<uint8_t>(~samples[i]);
        }
        return true;
    }

    EntryProblem Problem() const override
    {
        EntryProblem problem = problem_;
        problem.detail = tiff_.Error();
        return problem;
    }

private:
    size_t RawRowBytes() const
    {
        const size_t samples = static_cast<size_t>(format_.colours) + (format_.alphaBits != 0 ? 1 : 0);
        return (static_cast<size_t>(format_.width) * samples * static_cast<size_t>(format_.bitsPerComponent) + 7) / 8;
    }

    static void SwapPairs(uint8_t* bytes, size_t count)
    {
        for (size_t i = 0; i + 1 < count; i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }

    PixelFormat format_;
    TiffHandle& tiff_;
    TiffRows rows_;
    std::vector<uint8_t> raw_;
    bool invert_ = false;
    EntryProblem problem_;
};

}  // namespace

std::unique_ptr<PixelRows> OpenTiffPixels(TiffFile& file, const std::string& path, const ImageCoding& coding,
                                          const PixelFormat& format, EntryProblem& problem)
{
    TiffHandle* tiff = file.Directory(path, coding.directory, problem);
    if (!tiff)
        return nullptr;
    auto rows = std::make_unique<TiffPixelRows>(format, *tiff);
    if (!rows->Open(coding, problem))
        return nullptr;
    return rows;
}

}  // namespace jpeg2pdf
