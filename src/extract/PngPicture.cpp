// SPDX-License-Identifier: GPL-2.0-or-later
#include "PngPicture.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "ImageForm.h"
#include "PageRows.h"
#include "PngCall.h"

namespace extract {

namespace {

// The most bytes a profile may decode to, as many as a JPEG's APP2 segments hold.
constexpr size_t kMostProfileBytes = 255 * 65519;
// IDAT chunks of at most this many bytes each.
constexpr size_t kDataChunkSize = 1 << 20;

void PutBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift & 0xFF);
}

void WriteChunk(ByteSink& sink, const char* type, const std::string& payload)
{
    std::string chunk;
    PutBigEndian(chunk, static_cast<uint32_t>(payload.size()));
    chunk.append(type, 4);
    chunk += payload;
    PutBigEndian(chunk, static_cast<uint32_t>(
                            crc32(0, reinterpret_cast<const Bytef*>(chunk.data() + 4), static_cast<uInt>(chunk.size() - 4))));
    sink.Take(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size());
}

// The profile's bytes decoded, or empty when it has none or one too large.
std::string ProfileBytes(const PdfPictures& document, const ImageForm& form)
{
    if (!form.profiled)
        return {};
    std::string bytes;
    RowPipeline pipeline(1, kMostProfileBytes + 1, [&](const uint8_t* byte) {
        bytes += static_cast<char>(*byte);
        return true;
    });
    const bool piped = document.PipeStream(form.profile, pipeline, true, pipeline.Stopped());
    return piped && bytes.size() <= kMostProfileBytes ? bytes : std::string();
}

// The palette's RGB triples, as many as indices of the picture's depth can name (at most 256):
// an index past the highest one is shown as the highest, as PDF readers clip it.
std::string PaddedPalette(const ImageForm& form)
{
    std::string palette(form.palette.begin(), form.palette.end());
    const size_t entries = std::min<size_t>(256, size_t {1} << form.depth);
    while (palette.size() / 3 < entries)
        palette += palette.substr(palette.size() - 3);
    palette.resize(std::min(palette.size(), entries * 3));
    return palette;
}

int PngColourType(const ImageForm& form)
{
    if (form.indexed)
        return PNG_COLOR_TYPE_PALETTE;
    const bool alpha = form.alpha;
    if (form.colours == 3)
        return alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    return alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
}

// Inflates the stream's bytes as they come and checks that they make the picture's filtered rows
// exactly: each row one filter type byte (0 to 4) and its samples, the zlib data ending after the
// last one.
class FilteredRowsCheck : public Pipeline {
public:
    explicit FilteredRowsCheck(const ImageForm& form)
        : Pipeline("check", nullptr), rowSize_(form.RowBytes() + 1), expected_(rowSize_ * form.height)
    {
        ok_ = inflateInit(&stream_) == Z_OK;
    }
    ~FilteredRowsCheck() override { inflateEnd(&stream_); }

    void write(const unsigned char* data, size_t size) override
    {
        if (ended_ && size > 0)
            ok_ = false;
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(size);
        while (ok_ && !ended_ && stream_.avail_in > 0) {
            unsigned char out[65536];
            stream_.next_out = out;
            stream_.avail_out = sizeof out;
            const int result = inflate(&stream_, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
                ok_ = false;
                break;
            }
            ended_ = result == Z_STREAM_END;
            if (ended_ && stream_.avail_in > 0)  // bytes after the zlib data, which PNG readers refuse
                ok_ = false;
            const int64_t got = static_cast<int64_t>(sizeof out - stream_.avail_out);
            for (int64_t at = (rowSize_ - produced_ % rowSize_) % rowSize_; at < got; at += rowSize_)
                if (out[at] > 4)
                    ok_ = false;
            produced_ += got;
            if (produced_ > expected_ || (result == Z_BUF_ERROR && got == 0))
                ok_ = false;
        }
    }
    void finish() override { }

    bool Fits() const { return ok_ && ended_ && produced_ == expected_; }

private:
    z_stream stream_ {};
    int64_t rowSize_, expected_, produced_ = 0;
    bool ok_ = false, ended_ = false;
};

// Joins the stream's bytes into IDAT chunks.
class DataChunks : public Pipeline {
public:
    explicit DataChunks(ByteSink& sink) : Pipeline("IDAT", nullptr), sink_(sink) { }
    void write(const unsigned char* data, size_t size) override
    {
        while (size > 0) {
            const size_t n = std::min(size, kDataChunkSize - gathered_.size());
            gathered_.append(reinterpret_cast<const char*>(data), n);
            data += n, size -= n;
            if (gathered_.size() == kDataChunkSize)
                Flush();
        }
    }
    void finish() override { }
    void Flush()
    {
        if (!gathered_.empty())
            WriteChunk(sink_, "IDAT", gathered_);
        gathered_.clear();
    }

private:
    ByteSink& sink_;
    std::string gathered_;
};

void WriteSignatureAndHeader(ByteSink& sink, const ImageForm& form, const std::string& profile)
{
    static const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    sink.Take(signature, sizeof signature);
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(form.width));
    PutBigEndian(header, static_cast<uint32_t>(form.height));
    header += {static_cast<char>(form.depth), static_cast<char>(PngColourType(form)), 0, 0, 0};
    WriteChunk(sink, "IHDR", header);
    if (!profile.empty()) {
        uLongf size = compressBound(static_cast<uLong>(profile.size()));
        std::string packed(size, '\0');
        if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(profile.data()),
                      static_cast<uLong>(profile.size()), Z_BEST_COMPRESSION) == Z_OK)
            WriteChunk(sink, "iCCP", std::string("ICC Profile\0\0", 13) + packed.substr(0, size));
    }
    if (form.indexed)
        WriteChunk(sink, "PLTE", PaddedPalette(form));
    if (!form.transparency.empty())
        WriteChunk(sink, "tRNS", std::string(form.transparency.begin(), form.transparency.end()));
}

PipeOutcome CopyPng(const PdfPictures& document, QPDFObjectHandle image, const ImageForm& form, ByteSink& sink)
{
    WriteSignatureAndHeader(sink, form, ProfileBytes(document, form));
    DataChunks chunks(sink);
    const bool never = false;
    if (!document.PipeStream(image, chunks, false, never))
        return PipeOutcome::Unreadable;
    chunks.Flush();
    WriteChunk(sink, "IEND", "");
    return PipeOutcome::Piped;
}


void ToSink(png_structp png, png_bytep data, size_t size)
{
    static_cast<ByteSink*>(png_get_io_ptr(png))->Take(data, size);
}
void NoFlush(png_structp) { }
void Quiet(png_structp, png_const_charp) { }
[[noreturn]] void GiveUp(png_structp png, png_const_charp) { png_longjmp(png, 1); }

PipeOutcome EncodePng(const PdfPictures& document, QPDFObjectHandle image, const ImageForm& form, ByteSink& sink)
{
    const int64_t rowBytes = form.RowBytes();
    std::vector<uint8_t> alpha;
    const int sampleBytes = form.depth / 8;  // with a soft mask: 1 or 2
    if (form.alpha) {
        const PipeOutcome held = HoldRows(document, form.softMask, int64_t {form.width} * sampleBytes, form.height, alpha);
        if (held != PipeOutcome::Piped)
            return held;
    }
    const std::string profile = ProfileBytes(document, form);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, GiveUp, Quiet);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return PipeOutcome::TooLarge;
    }
    const std::string palette = form.indexed ? PaddedPalette(form) : std::string();
    bool ok = PngCall(png, [&] {
        png_set_write_fn(png, &sink, ToSink, NoFlush);
        png_set_IHDR(png, info, static_cast<png_uint_32>(form.width), static_cast<png_uint_32>(form.height), form.depth,
                     PngColourType(form), PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (form.indexed)
            png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(palette.data()), static_cast<int>(palette.size() / 3));
        if (form.indexed && !form.transparency.empty())
            png_set_tRNS(png, info, form.transparency.data(), static_cast<int>(form.transparency.size()), nullptr);
        if (!form.indexed && !form.transparency.empty()) {  // the key colour, big-endian at the picture's depth
            const auto at = [&](size_t i) {
                return static_cast<png_uint_16>(form.transparency[2 * i] << 8 | form.transparency[2 * i + 1]);
            };
            png_color_16 key {};
            key.gray = at(0);
            if (form.colours == 3)
                key.red = at(0), key.green = at(1), key.blue = at(2);
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
        if (!profile.empty())
            png_set_iCCP(png, info, "ICC Profile", PNG_COMPRESSION_TYPE_BASE,
                         reinterpret_cast<png_const_bytep>(profile.data()), static_cast<png_uint_32>(profile.size()));
        png_write_info(png, info);
    });
    const int channels = form.colours + 1;
    std::vector<uint8_t> joined(alpha.empty() ? 0 : static_cast<size_t>(form.width) * channels * sampleBytes);
    int64_t y = 0;
    RowPipeline pipeline(rowBytes, form.height, [&](const uint8_t* row) {
        if (!alpha.empty()) {  // each pixel's colour, then its alpha
            const uint8_t* mask = alpha.data() + y * form.width * sampleBytes;
            for (int64_t x = 0; x < form.width; ++x) {
                uint8_t* pixel = joined.data() + x * channels * sampleBytes;
                std::memcpy(pixel, row + x * form.colours * sampleBytes, static_cast<size_t>(form.colours * sampleBytes));
                std::memcpy(pixel + form.colours * sampleBytes, mask + x * sampleBytes, static_cast<size_t>(sampleBytes));
            }
            row = joined.data();
        }
        ++y;
        ok = ok && PngCall(png, [&] { png_write_row(png, row); });
        return ok;
    });
    if (ok)
        document.PipeStream(image, pipeline, true, pipeline.Stopped());
    ok = ok && pipeline.Whole() && PngCall(png, [&] { png_write_end(png, nullptr); });
    png_destroy_write_struct(&png, &info);
    return ok ? PipeOutcome::Piped : PipeOutcome::Unreadable;
}

}  // namespace

PipeOutcome WritePng(const PdfPictures& document, int page, ByteSink& sink)
{
    const ImageForm* form = document.FormOf(page);
    if (!form || form->kind != ImageForm::Kind::Pixels)
        return PipeOutcome::Unreadable;
    QPDFObjectHandle image = document.ImageOf(page);
    if (form->predictedFlate) {
        FilteredRowsCheck check(*form);
        const bool never = false;
        if (document.PipeStream(image, check, false, never) && check.Fits())
            return CopyPng(document, image, *form, sink);
    }
    return EncodePng(document, image, *form, sink);
}

}  // namespace extract
