// SPDX-License-Identifier: GPL-2.0-or-later
#include "PngPixels.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "InputFile.h"
#include "JpegFrameProbe.h"

namespace jpeg2pdf {

namespace {

using posixfile::InputFile;

constexpr size_t kReadBlock = 65536;

size_t RawRowBytes(int32_t width, int bitDepth, int channels)
{
    return (static_cast<size_t>(width) * static_cast<size_t>(channels) * static_cast<size_t>(bitDepth) + 7) / 8;
}

int Channels(int colourType)
{
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// Sample `index` of a row of `bits`-bit samples packed high bits first; 16-bit ones big-endian.
unsigned Sample(const uint8_t* row, size_t index, int bits)
{
    switch (bits) {
    case 16:
        return unsigned {row[2 * index]} << 8 | row[2 * index + 1];
    case 8:
        return row[index];
    default: {
        const size_t bit = index * static_cast<size_t>(bits);
        const unsigned shift = 8 - static_cast<unsigned>(bits) - static_cast<unsigned>(bit % 8);
        return (row[bit / 8] >> shift) & ((1u << bits) - 1);
    }
    }
}

// What libpng's callbacks share with the decoder: the file read through a buffer, and the first
// error's text.
struct Feed {
    const InputFile* file = nullptr;
    int64_t offset = 0;  // of the buffer's first byte
    std::vector<uint8_t> buffer;
    size_t at = 0, filled = 0;
    char error[160] {};
};

void ReadData(png_structp png, png_bytep out, size_t count)
{
    Feed& feed = *static_cast<Feed*>(png_get_io_ptr(png));
    while (count > 0) {
        if (feed.at == feed.filled) {
            feed.offset += static_cast<int64_t>(feed.filled);
            const int64_t got = feed.file->ReadAt(feed.offset, feed.buffer.data(), feed.buffer.size());
            feed.at = 0;
            feed.filled = got > 0 ? static_cast<size_t>(got) : 0;
            if (feed.filled == 0)
                png_error(png, "the file ends early");
        }
        const size_t take = std::min(count, feed.filled - feed.at);
        std::memcpy(out, feed.buffer.data() + feed.at, take);
        feed.at += take;
        out += take;
        count -= take;
    }
}

// Keeps the first error's text; libpng then returns to the setjmp of the call that failed.
void KeepError(png_structp png, png_const_charp text)
{
    Feed& feed = *static_cast<Feed*>(png_get_error_ptr(png));
    if (feed.error[0] == 0)
        std::snprintf(feed.error, sizeof feed.error, "%s", text);
}

void IgnoreWarning(png_structp, png_const_charp) { }

// Each libpng call that may fail, behind its own setjmp with no object to unwind between.
bool ReadHeader(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

bool ReadRow(png_structp png, png_bytep row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, row, nullptr);
    return true;
}

bool ReadImage(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

class PngRows final : public PixelRows {
public:
    explicit PngRows(const PixelFormat& format) : format_(format)
    {
        feed_.buffer.resize(kReadBlock);
    }

    ~PngRows() override
    {
        if (png_)
            png_destroy_read_struct(&png_, &info_, nullptr);
    }

    bool Start(const std::string& path, EntryProblem& problem)
    {
        if (!file_.Open(path)) {
            problem = OpenProblem(file_);
            return false;
        }
        feed_.file = &file_;
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &feed_, KeepError, IgnoreWarning);
        info_ = png_ ? png_create_info_struct(png_) : nullptr;
        if (!info_) {
            problem.refusal = EntryRefusal::CannotOpen;
            problem.systemError = ENOMEM;
            return false;
        }
        png_set_read_fn(png_, &feed_, ReadData);
        png_set_user_limits(png_, 0x7FFFFFFF, 0x7FFFFFFF);
        // Text, profiles and suggested palettes are not needed for the pixels.
        static constexpr png_byte kSkipped[] = "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0hIST\0sBIT\0";
        png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, kSkipped, 8);
        if (!ReadHeader(png_, info_))
            return Damaged(problem);
        const auto width = static_cast<int32_t>(png_get_image_width(png_, info_));
        const auto height = static_cast<int32_t>(png_get_image_height(png_, info_));
        depth_ = png_get_bit_depth(png_, info_);
        colourType_ = png_get_color_type(png_, info_);
        const int colours = colourType_ == 2 || colourType_ == 6 ? 3 : 1;
        if (width != format_.width || height != format_.height || depth_ != format_.bitsPerComponent
            || colours != format_.colours) {
            problem.refusal = EntryRefusal::ChangedSinceRead;
            return false;
        }
        png_bytep alphas = nullptr;
        int alphaCount = 0;
        png_color_16p key = nullptr;
        if (png_get_tRNS(png_, info_, &alphas, &alphaCount, &key) != 0) {
            if (colourType_ == 3 && alphas)
                paletteAlpha_.assign(alphas, alphas + std::max(alphaCount, 0));
            if (key)
                key_ = *key;
            keyed_ = colourType_ == 0 || colourType_ == 2;
        }
        paletteAlpha_.resize(256, 255);
        rawRowBytes_ = RawRowBytes(width, depth_, Channels(colourType_));
        if (png_get_interlace_type(png_, info_) == PNG_INTERLACE_NONE) {
            raw_.resize(rawRowBytes_);
            return true;
        }
        // Adam7 passes fill the picture in seven sweeps: the whole of it is needed before its first row.
        raw_.resize(rawRowBytes_ * static_cast<size_t>(height));
        std::vector<png_bytep> rows(static_cast<size_t>(height));
        for (size_t y = 0; y < rows.size(); ++y)
            rows[y] = raw_.data() + y * rawRowBytes_;
        png_set_interlace_handling(png_);
        if (!ReadImage(png_, rows.data()))
            return Damaged(problem);
        whole_ = true;
        return true;
    }

    bool NextRow(uint8_t* samples, uint8_t* alpha) override
    {
        if (row_ >= format_.height) {
            problem_.refusal = EntryRefusal::PixelsDamaged;
            return false;
        }
        const uint8_t* raw = raw_.data();
        if (whole_) {
            raw += static_cast<size_t>(row_) * rawRowBytes_;
        } else if (!ReadRow(png_, raw_.data())) {
            Damaged(problem_);
            return false;
        }
        ++row_;
        Split(raw, samples, format_.alphaBits != 0 ? alpha : nullptr);
        return true;
    }

    EntryProblem Problem() const override { return problem_; }

private:
    bool Damaged(EntryProblem& problem)
    {
        problem.refusal = EntryRefusal::PixelsDamaged;
        return false;
    }

    // The file's row as samples and alpha.
    void Split(const uint8_t* raw, uint8_t* samples, uint8_t* alpha) const
    {
        const size_t width = static_cast<size_t>(format_.width);
        if (colourType_ == 4 || colourType_ == 6) {
            const size_t colourBytes = static_cast<size_t>(format_.colours) * static_cast<size_t>(depth_ / 8);
            const size_t alphaBytes = static_cast<size_t>(depth_ / 8);
            for (size_t x = 0; x < width; ++x) {
                const uint8_t* pixel = raw + x * (colourBytes + alphaBytes);
                if (samples)
                    std::memcpy(samples + x * colourBytes, pixel, colourBytes);
                if (alpha)
                    std::memcpy(alpha + x * alphaBytes, pixel + colourBytes, alphaBytes);
            }
            return;
        }
        if (samples)
            std::memcpy(samples, raw, rawRowBytes_);
        if (!alpha)
            return;
        if (colourType_ == 3) {
            for (size_t x = 0; x < width; ++x)
                alpha[x] = paletteAlpha_[Sample(raw, x, depth_)];
            return;
        }
        // A key colour: the pixels of exactly that colour are transparent, the others opaque.
        const uint16_t key[3] = {keyed_ && colourType_ == 0 ? key_.gray : key_.red, key_.green, key_.blue};
        const size_t colours = static_cast<size_t>(format_.colours);
        for (size_t x = 0; x < width; ++x) {
            bool transparent = keyed_;
            for (size_t c = 0; c < colours && transparent; ++c)
                transparent = Sample(raw, x * colours + c, depth_) == key[c];
            const uint8_t value = transparent ? 0 : 255;
            if (format_.alphaBits == 16) {
                alpha[2 * x] = value;
                alpha[2 * x + 1] = value;
            } else {
                alpha[x] = value;
            }
        }
    }

    PixelFormat format_;
    InputFile file_;
    Feed feed_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    int depth_ = 8;
    int colourType_ = 0;
    std::vector<uint8_t> paletteAlpha_;
    png_color_16 key_ {};
    bool keyed_ = false;
    size_t rawRowBytes_ = 0;
    std::vector<uint8_t> raw_;
    bool whole_ = false;
    int32_t row_ = 0;
    EntryProblem problem_;
};

}  // namespace

size_t PngDecodedBytes(int32_t width, int32_t height, int bitDepth, int colourType, bool interlaced)
{
    const size_t row = RawRowBytes(width, bitDepth, Channels(colourType));
    if (!interlaced)
        return row;
    const size_t rows = static_cast<size_t>(std::max(height, 0));
    return rows != 0 && row > SIZE_MAX / rows ? SIZE_MAX : row * rows;
}

std::unique_ptr<PixelRows> OpenPngPixels(const std::string& path, const PixelFormat& format, EntryProblem& problem)
{
    auto rows = std::make_unique<PngRows>(format);
    if (!rows->Start(path, problem))
        return nullptr;
    return rows;
}

}  // namespace jpeg2pdf
