// SPDX-License-Identifier: GPL-2.0-or-later
#include "PixelCheck.h"

#include <fcntl.h>
#include <png.h>
#include <sys/mman.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include <qpdf/Pipeline.hh>

#include "ImageForm.h"
#include "PageRows.h"
#include "PngCall.h"
#include "TiffPicture.h"
#include "WholeTransfers.h"

namespace extract {

namespace {

using Samples = std::vector<uint16_t>;

// A picture's pixels as compared: grey or RGB samples (an index shown as its palette's RGB at 8
// bits; grey as it shows, black 0), then alpha when it has it, each at `depth` bits.
struct PixelLayout {
    int64_t width = 0, height = 0;
    int colours = 0;
    bool alpha = false;
    int depth = 0;

    int Channels() const { return colours + (alpha ? 1 : 0); }
    bool operator==(const PixelLayout&) const = default;
    std::string Text() const
    {
        return std::to_string(width) + " x " + std::to_string(height) + " " + (colours == 3 ? "RGB" : "grey")
            + (alpha ? " with alpha" : "") + " at " + std::to_string(depth) + (depth == 1 ? " bit" : " bits");
    }
};

// A file's rows, one at a time from the top.
class FileRows {
public:
    virtual ~FileRows() = default;
    // False when the row cannot be decoded.
    virtual bool Next(Samples& row) = 0;
    PixelLayout layout;
};

void Quiet(png_structp, png_const_charp) { }
[[noreturn]] void GiveUp(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void FromFile(png_structp png, png_bytep data, size_t size)
{
    const int fd = *static_cast<int*>(png_get_io_ptr(png));
    if (posixfile::ReadFully(fd, data, size) != static_cast<ssize_t>(size))
        png_error(png, "the file ends early");
}

class PngRows : public FileRows {
public:
    // `fd` is read from where it stands (its start). Check `error` afterwards.
    explicit PngRows(int fd) : fd_(fd)
    {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, GiveUp, Quiet);
        info_ = png_ ? png_create_info_struct(png_) : nullptr;
        if (!info_) {
            error = "out of memory";
            return;
        }
        int interlace = 0, depth = 0;
        size_t rowBytes = 0;
        const bool read = PngCall(png_, [&] {
            png_set_read_fn(png_, &fd_, FromFile);
            png_read_info(png_, info_);
            depth = png_get_bit_depth(png_, info_);
            png_set_packing(png_);
            // Either expands grey below 8 bits to 8 as well: only where it is asked for.
            if (png_get_color_type(png_, info_) == PNG_COLOR_TYPE_PALETTE)
                png_set_palette_to_rgb(png_);
            if (png_get_valid(png_, info_, PNG_INFO_tRNS))
                png_set_tRNS_to_alpha(png_);
            interlace = png_set_interlace_handling(png_);
            png_read_update_info(png_, info_);
            rowBytes = png_get_rowbytes(png_, info_);
        });
        if (!read) {
            error = "a damaged PNG file";
            return;
        }
        // Packing puts each sample below 8 bits in a byte of its own, without scaling it: such
        // samples keep their depth. A palette, and transparency turned into alpha, are 8 bits and up.
        const int type = png_get_color_type(png_, info_);
        const bool expanded = png_get_bit_depth(png_, info_) == 16 || type != PNG_COLOR_TYPE_GRAY;
        layout = {png_get_image_width(png_, info_), png_get_image_height(png_, info_), type & PNG_COLOR_MASK_COLOR ? 3 : 1,
                  (type & PNG_COLOR_MASK_ALPHA) != 0, expanded ? png_get_bit_depth(png_, info_) : depth};
        row_.resize(rowBytes);
        if (interlace > 1) {  // the passes fill the whole picture: it is held
            if (static_cast<int64_t>(rowBytes) > kMostHeldBytes / std::max<int64_t>(layout.height, 1)) {
                tooLarge = true;
                return;
            }
            whole_.resize(rowBytes * static_cast<size_t>(layout.height));
            std::vector<png_bytep> rows;
            for (int64_t y = 0; y < layout.height; ++y)
                rows.push_back(whole_.data() + static_cast<size_t>(y) * rowBytes);
            if (!PngCall(png_, [&] { png_read_image(png_, rows.data()); }))
                error = "a damaged PNG file";
        }
    }
    ~PngRows() override { png_destroy_read_struct(&png_, &info_, nullptr); }

    bool Next(Samples& row) override
    {
        const uint8_t* bytes = row_.data();
        if (!whole_.empty())
            bytes = whole_.data() + static_cast<size_t>(y_) * row_.size();
        else if (!PngCall(png_, [&] { png_read_row(png_, row_.data(), nullptr); }))
            return false;
        ++y_;
        row.resize(static_cast<size_t>(layout.width * layout.Channels()));
        // Unpacked: a byte a sample below 8 bits.
        UnpackSamples(bytes, static_cast<int64_t>(row.size()), layout.depth < 8 ? 8 : layout.depth, row.data());
        return true;
    }

    std::string error;
    bool tooLarge = false;

private:
    int fd_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::vector<uint8_t> row_, whole_;
    int64_t y_ = 0;
};

class TiffRows : public FileRows {
public:
    // Reads the TIFF at `fd` through a descriptor of its own. Check `error` afterwards.
    explicit TiffRows(int fd)
    {
        QuietTiff();
        const int copy = dup(fd);  // which shares the file's position: libtiff reads its header from there
        tiff_ = copy >= 0 && lseek(copy, 0, SEEK_SET) == 0 ? TIFFFdOpen(copy, "file", "r") : nullptr;
        if (!tiff_) {
            if (copy >= 0)
                close(copy);
            error = "a damaged TIFF file";
            return;
        }
        uint32_t width = 0, height = 0;
        uint16_t bits = 1, samples = 1, planar = PLANARCONFIG_CONTIG, photometric = 0, compression = 1;
        TIFFGetField(tiff_, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff_, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_COMPRESSION, &compression);
        if (!TIFFGetField(tiff_, TIFFTAG_PHOTOMETRIC, &photometric))
            photometric = PHOTOMETRIC_MINISWHITE;
        if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG) {
            TIFFSetField(tiff_, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
            photometric = PHOTOMETRIC_RGB;
        }
        photometric_ = photometric;
        const int stored = photometric == PHOTOMETRIC_RGB ? 3 : 1;
        if (width > kMostPixelsASide || height > kMostPixelsASide)
            error = "a TIFF file of more than " + std::to_string(kMostPixelsASide) + " pixels a side, which is not compared";
        else if (TIFFIsTiled(tiff_))
            error = "a tiled TIFF file, which is not compared";
        else if (photometric > PHOTOMETRIC_PALETTE)
            error = "a TIFF file of photometric interpretation " + std::to_string(photometric) + ", which is not compared";
        else if ((bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16) || (photometric == PHOTOMETRIC_PALETTE && bits > 8))
            error = "a TIFF file of " + std::to_string(bits) + "-bit samples, which is not compared";
        else if (samples != stored && samples != stored + 1)
            error = "a TIFF file of " + std::to_string(samples) + " samples a pixel, which is not compared";
        else if (planar != PLANARCONFIG_CONTIG && samples > 1)
            error = "a TIFF file with its samples in planes of their own, which is not compared";
        else if (photometric == PHOTOMETRIC_PALETTE && !TIFFGetField(tiff_, TIFFTAG_COLORMAP, &red_, &green_, &blue_))
            error = "a damaged TIFF file (a palette without its colour map)";
        if (!error.empty())
            return;
        bits_ = bits;
        stored_ = samples;
        layout = {width, height, photometric == PHOTOMETRIC_PALETTE ? 3 : stored, samples > stored,
                  photometric == PHOTOMETRIC_PALETTE ? 8 : bits};
        row_.resize(static_cast<size_t>(TIFFScanlineSize(tiff_)));
        if (row_.empty())
            error = "a damaged TIFF file";
    }
    ~TiffRows() override
    {
        if (tiff_)
            TIFFClose(tiff_);
    }

    bool Next(Samples& row) override
    {
        if (TIFFReadScanline(tiff_, row_.data(), static_cast<uint32_t>(y_++), 0) != 1)
            return false;
        const int64_t count = layout.width * stored_;
        Samples stored(static_cast<size_t>(count));
        if (bits_ == 16) {  // in the machine's byte order
            for (int64_t i = 0; i < count; ++i)
                std::memcpy(&stored[static_cast<size_t>(i)], row_.data() + 2 * i, 2);
        } else {
            UnpackSamples(row_.data(), count, bits_, stored.data());
        }
        const uint16_t most = static_cast<uint16_t>((1u << bits_) - 1);
        row.clear();
        for (int64_t x = 0; x < layout.width; ++x) {
            const uint16_t* pixel = stored.data() + x * stored_;
            if (photometric_ == PHOTOMETRIC_PALETTE)
                row.insert(row.end(), {static_cast<uint16_t>(red_[pixel[0]] >> 8), static_cast<uint16_t>(green_[pixel[0]] >> 8),
                                       static_cast<uint16_t>(blue_[pixel[0]] >> 8)});
            else if (photometric_ == PHOTOMETRIC_MINISWHITE)
                row.push_back(static_cast<uint16_t>(most - pixel[0]));
            else
                row.insert(row.end(), pixel, pixel + (photometric_ == PHOTOMETRIC_RGB ? 3 : 1));
            if (layout.alpha)
                row.push_back(pixel[stored_ - 1]);
        }
        return true;
    }

    // The file's one strip, where it has one: where it lies, and its compression and fill order.
    bool OneStrip(uint64_t& offset, uint64_t& size, uint16_t& compression, bool& reversed) const
    {
        uint64_t* offsets = nullptr;
        uint64_t* sizes = nullptr;
        uint16_t fill = FILLORDER_MSB2LSB;
        if (!tiff_ || TIFFNumberOfStrips(tiff_) != 1 || !TIFFGetField(tiff_, TIFFTAG_STRIPOFFSETS, &offsets)
            || !TIFFGetField(tiff_, TIFFTAG_STRIPBYTECOUNTS, &sizes) || !offsets || !sizes)
            return false;
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_COMPRESSION, &compression);
        TIFFGetFieldDefaulted(tiff_, TIFFTAG_FILLORDER, &fill);
        offset = offsets[0], size = sizes[0], reversed = fill == FILLORDER_LSB2MSB;
        return true;
    }

    std::string error;

private:
    TIFF* tiff_ = nullptr;
    int photometric_ = 0, bits_ = 1, stored_ = 1;
    uint16_t *red_ = nullptr, *green_ = nullptr, *blue_ = nullptr;
    std::vector<uint8_t> row_;
    int64_t y_ = 0;
};

// Compares the bytes it takes with the file's bytes in `ranges`, in order (each byte's bits
// reversed with `reversed`), and stops the read at the first difference.
class RangesCompare : public Pipeline {
public:
    RangesCompare(int fd, std::vector<std::pair<uint64_t, uint64_t>> ranges, bool reversed)
        : Pipeline("compare", nullptr), fd_(fd), ranges_(std::move(ranges)), reversed_(reversed)
    {
    }
    void write(const unsigned char* data, size_t size) override
    {
        while (size > 0) {
            if (range_ == ranges_.size() || !Fill()) {
                differs_ = stopped_ = true;
                throw std::runtime_error("differs");
            }
            const size_t n = std::min(size, buffer_.size() - used_);
            if (std::memcmp(data, buffer_.data() + used_, n) != 0) {
                differs_ = stopped_ = true;
                throw std::runtime_error("differs");
            }
            used_ += n, data += n, size -= n;
        }
    }
    void finish() override { }
    // After the read: whether the two were the same bytes.
    bool Same()
    {
        if (differs_ || (used_ < buffer_.size()))
            return false;
        buffer_.clear(), used_ = 0;
        while (range_ < ranges_.size() && ranges_[range_].second == at_)
            ++range_, at_ = 0;
        return range_ == ranges_.size();
    }
    const bool& Stopped() const { return stopped_; }

private:
    // Reads the next piece of the file's bytes once the last is used; false when there is none.
    bool Fill()
    {
        if (used_ < buffer_.size())
            return true;
        while (range_ < ranges_.size() && ranges_[range_].second == at_)
            ++range_, at_ = 0;
        if (range_ == ranges_.size())
            return false;
        const uint64_t n = std::min<uint64_t>(ranges_[range_].second - at_, 1 << 20);
        buffer_.resize(static_cast<size_t>(n));
        if (pread(fd_, buffer_.data(), n, static_cast<off_t>(ranges_[range_].first + at_)) != static_cast<ssize_t>(n))
            return false;
        if (reversed_)
            for (unsigned char& byte : buffer_)
                byte = static_cast<unsigned char>(((byte * 0x0802LU & 0x22110LU) | (byte * 0x8020LU & 0x88440LU)) * 0x10101LU >> 16);
        at_ += n, used_ = 0;
        return true;
    }

    int fd_;
    std::vector<std::pair<uint64_t, uint64_t>> ranges_;  // offset and size
    bool reversed_;
    size_t range_ = 0;
    uint64_t at_ = 0;  // bytes of the current range read
    std::vector<unsigned char> buffer_;
    size_t used_ = 0;
    bool differs_ = false, stopped_ = false;
};

// Where a PNG file's IDAT payloads lie, in order; empty when its chunks do not lead to IEND.
std::vector<std::pair<uint64_t, uint64_t>> DataRanges(int fd)
{
    std::vector<std::pair<uint64_t, uint64_t>> ranges;
    uint64_t at = 8;
    unsigned char header[8];
    while (ranges.size() < (size_t {1} << 22) && pread(fd, header, 8, static_cast<off_t>(at)) == 8) {
        const uint64_t length = uint64_t {header[0]} << 24 | header[1] << 16 | header[2] << 8 | header[3];
        if (std::memcmp(header + 4, "IEND", 4) == 0)
            return ranges;
        if (std::memcmp(header + 4, "IDAT", 4) == 0)
            ranges.emplace_back(at + 8, length);
        at += 12 + length;
    }
    return {};
}

// The page's layout as compared.
PixelLayout PageLayout(const ImageForm& form)
{
    if (form.kind == ImageForm::Kind::Ccitt)
        return {form.width, form.height, 1, false, 1};
    // A colour key becomes alpha as libpng reads the tRNS chunk: samples below 8 bits widen to 8.
    const bool keyed = !form.transparency.empty();
    return {form.width, form.height, form.indexed ? 3 : form.colours, form.alpha || keyed,
            form.indexed ? 8 : keyed ? std::max(form.depth, 8) : form.depth};
}

// Compares each page row it is given with the file's next; stops at the first difference.
class RowComparer {
public:
    explicit RowComparer(FileRows& file) : file_(file) { }
    bool Take(const Samples& pageRow)
    {
        if (!file_.Next(fileRow_)) {
            fileFailed = true;
            return false;
        }
        const auto [mine, theirs] = std::mismatch(pageRow.begin(), pageRow.end(), fileRow_.begin());
        if (mine != pageRow.end()) {
            how = "differs at pixel " + std::to_string((mine - pageRow.begin()) / file_.layout.Channels() + 1)
                + " of row " + std::to_string(y_ + 1);
            return false;
        }
        ++y_;
        return true;
    }
    bool Done() const { return y_ == file_.layout.height; }

    std::string how;  // where the first difference is
    bool fileFailed = false;

private:
    FileRows& file_;
    Samples fileRow_;
    int64_t y_ = 0;
};

// Compares the rows of a Pixels page, decoded by libqpdf, with the file's.
PixelCheck CompareDecoded(const PdfPictures& document, QPDFObjectHandle image, const ImageForm& form, RowComparer& rows)
{
    std::vector<uint8_t> alpha;
    const int64_t width = form.width;
    if (form.alpha) {
        const PipeOutcome held = HoldRows(document, form.softMask, (width * form.depth + 7) / 8, form.height, alpha);
        if (held != PipeOutcome::Piped)
            return {held == PipeOutcome::TooLarge ? PixelCheck::Result::TooLarge : PixelCheck::Result::PageUnreadable, ""};
    }
    const PixelLayout layout = PageLayout(form);
    const bool keyed = !form.transparency.empty();
    // With a colour key: grey below 8 bits scaled to 8, as libpng widens it; the key's samples.
    const uint16_t most = static_cast<uint16_t>((1u << layout.depth) - 1);
    const uint16_t scale = keyed && !form.indexed ? static_cast<uint16_t>(most / ((1u << form.depth) - 1)) : 1;
    Samples key;
    for (size_t i = 0; keyed && !form.indexed && i + 1 < form.transparency.size(); i += 2)
        key.push_back(static_cast<uint16_t>(form.transparency[i] << 8 | form.transparency[i + 1]));
    const int64_t stored = width * form.colours;
    Samples samples(static_cast<size_t>(stored)), mask(static_cast<size_t>(width)), row;
    int64_t y = 0;
    RowPipeline pipeline(form.RowBytes(), form.height, [&](const uint8_t* bytes) {
        UnpackSamples(bytes, stored, form.depth, samples.data());
        if (!alpha.empty())
            UnpackSamples(alpha.data() + y * ((width * form.depth + 7) / 8), width, form.depth, mask.data());
        ++y;
        row.clear();
        for (int64_t x = 0; x < width; ++x) {
            if (form.indexed) {
                const size_t entry = std::min<size_t>(samples[static_cast<size_t>(x)], form.palette.size() / 3 - 1);
                row.insert(row.end(), form.palette.begin() + static_cast<long>(entry * 3),
                           form.palette.begin() + static_cast<long>(entry * 3 + 3));
            } else {
                for (int c = 0; c < form.colours; ++c)
                    row.push_back(static_cast<uint16_t>(samples[static_cast<size_t>(x * form.colours + c)] * scale));
            }
            if (form.alpha) {
                row.push_back(mask[static_cast<size_t>(x)]);
            } else if (keyed && form.indexed) {
                const size_t index = samples[static_cast<size_t>(x)];
                row.push_back(index < form.transparency.size() ? form.transparency[index] : most);
            } else if (keyed) {
                const bool hidden = std::equal(key.begin(), key.end(), samples.begin() + x * form.colours);
                row.push_back(hidden ? 0 : most);
            }
        }
        return rows.Take(row);
    });
    document.PipeStream(image, pipeline, true, pipeline.Stopped());
    if (!rows.how.empty())
        return {PixelCheck::Result::Differs, rows.how};
    if (rows.fileFailed)
        return {PixelCheck::Result::FileUnreadable, "a damaged file (a row cannot be decoded)"};
    if (!pipeline.Whole())
        return {PixelCheck::Result::PageUnreadable, ""};
    return {PixelCheck::Result::SamePixels, ""};
}

// Compares a CCITT page, written as the TIFF extraction writes and decoded by libtiff, with the file.
PixelCheck CompareFax(const PdfPictures& document, int page, RowComparer& rows)
{
    const int fd = memfd_create("page", MFD_CLOEXEC);
    if (fd < 0)
        return {PixelCheck::Result::PageUnreadable, ""};
    PixelCheck check {PixelCheck::Result::PageUnreadable, ""};
    int writeError = 0;
    if (WriteTiff(document, page, fd, writeError) == PipeOutcome::Piped) {
        TiffRows pageRows(fd);
        Samples row;
        bool read = pageRows.error.empty();
        while (read && !rows.Done() && (read = pageRows.Next(row)) && rows.Take(row)) { }
        if (!rows.how.empty())
            check = {PixelCheck::Result::Differs, rows.how};
        else if (rows.fileFailed)
            check = {PixelCheck::Result::FileUnreadable, "a damaged file (a row cannot be decoded)"};
        else if (rows.Done())
            check = {PixelCheck::Result::SamePixels, ""};
    }
    close(fd);
    return check;
}

}  // namespace

FileKind KindOfFile(int fd)
{
    unsigned char start[8] = {};
    const ssize_t got = pread(fd, start, sizeof start, 0);
    if (got >= 8 && std::memcmp(start, "\x89PNG\r\n\x1A\n", 8) == 0)
        return FileKind::Png;
    if (got >= 4 && (std::memcmp(start, "II*\0", 4) == 0 || std::memcmp(start, "MM\0*", 4) == 0))
        return FileKind::Tiff;
    if (got >= 3 && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF)
        return FileKind::Jpeg;
    return FileKind::Other;
}

PixelCheck CheckPixels(const PdfPictures& document, int page, int fd)
{
    const ImageForm* form = document.FormOf(page);
    QPDFObjectHandle image = document.ImageOf(page);
    const FileKind kind = KindOfFile(fd);
    if (!form || (kind != FileKind::Png && kind != FileKind::Tiff))
        return {PixelCheck::Result::Differs, std::string("differs: the page holds pixels a ")
                    + (form && form->kind == ImageForm::Kind::Ccitt ? "TIFF" : "PNG") + " file holds, the file is "
                    + (kind == FileKind::Jpeg ? "a JPEG file" : "no PNG, TIFF or JPEG file")};
    std::unique_ptr<FileRows> file;
    std::string error;
    bool tooLarge = false;
    if (kind == FileKind::Png) {
        if (lseek(fd, 0, SEEK_SET) != 0)
            return {PixelCheck::Result::FileUnreadable, std::strerror(errno)};
        auto png = std::make_unique<PngRows>(fd);
        error = png->error, tooLarge = png->tooLarge;
        file = std::move(png);
    } else {
        auto tiff = std::make_unique<TiffRows>(fd);
        error = tiff->error;
        file = std::move(tiff);
    }
    if (!error.empty())
        return {PixelCheck::Result::FileUnreadable, error};
    if (tooLarge)
        return {PixelCheck::Result::TooLarge, ""};
    const PixelLayout layout = PageLayout(*form);
    if (!(file->layout == layout))
        return {PixelCheck::Result::Differs, "differs: the file's picture is " + file->layout.Text() + ", the page's "
                    + layout.Text()};
    RowComparer rows(*file);
    PixelCheck check = form->kind == ImageForm::Kind::Ccitt ? CompareFax(document, page, rows)
                                                             : CompareDecoded(document, image, *form, rows);
    if (check.result != PixelCheck::Result::SamePixels)
        return check;
    // The same pixels: the same compressed data too, where the file holds it as one piece.
    std::vector<std::pair<uint64_t, uint64_t>> ranges;
    bool reversed = false;
    if (kind == FileKind::Png && form->predictedFlate) {
        ranges = DataRanges(fd);
    } else if (kind == FileKind::Tiff) {
        uint64_t offset = 0, size = 0;
        uint16_t compression = 0;
        const bool fax = form->kind == ImageForm::Kind::Ccitt;
        std::vector<QPDFObjectHandle> filters = FilterList(image.getDict());
        const bool flate = filters.size() == 1 && (filters[0].isNameAndEquals("/FlateDecode") || filters[0].isNameAndEquals("/Fl"));
        if (static_cast<TiffRows&>(*file).OneStrip(offset, size, compression, reversed)
            && (fax ? compression == COMPRESSION_CCITTFAX3 || compression == COMPRESSION_CCITTFAX4
                    : flate && (compression == COMPRESSION_ADOBE_DEFLATE || compression == COMPRESSION_DEFLATE)))
            ranges.emplace_back(offset, size);
    }
    if (!ranges.empty()) {
        RangesCompare compare(fd, std::move(ranges), reversed);
        if (document.PipeStream(image, compare, false, compare.Stopped()) && compare.Same())
            check.result = PixelCheck::Result::Identical;
    }
    return check;
}

}  // namespace extract
