// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffPages.h"

#include <tiffio.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "IccProfile.h"
#include "ReaderBounds.h"
#include "TiffHandle.h"

namespace jpeg2pdf {

namespace {

using posixfile::InputFile;

constexpr double kCentimetresPerInch = 2.54;

EntryProblem Refusal(EntryRefusal refusal, std::string detail)
{
    EntryProblem problem;
    problem.refusal = refusal;
    problem.detail = std::move(detail);
    return problem;
}

EntryProblem NotTaken(std::string detail) { return Refusal(EntryRefusal::TiffNotTaken, std::move(detail)); }

std::string CompressionName(uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
        return "uncompressed data";
    case COMPRESSION_CCITTRLE:
        return "CCITT modified Huffman data (compression 2)";
    case COMPRESSION_LZW:
        return "LZW data";
    case COMPRESSION_OJPEG:
        return "old-style JPEG data (compression 6)";
    case COMPRESSION_PACKBITS:
        return "PackBits data";
    case COMPRESSION_CCITTFAX3:
        return "CCITT Group 3 data";
    case COMPRESSION_CCITTFAX4:
        return "CCITT Group 4 data";
    case COMPRESSION_JPEG:
        return "JPEG data";
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return "Deflate data";
    default:
        return "compression " + std::to_string(compression);
    }
}

// The samples of colour a photometric interpretation has, 0 for one not taken.
int ColourSamples(uint16_t photometric)
{
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_PALETTE:
        return 1;
    case PHOTOMETRIC_RGB:
    case PHOTOMETRIC_YCBCR:
        return 3;
    case PHOTOMETRIC_SEPARATED:
        return 4;
    default:
        return 0;
    }
}

// A file range that lies inside the file and holds at least `least` bytes.
bool RangeInFile(const InputFile& file, uint64_t offset, uint64_t length, uint64_t least)
{
    const auto size = static_cast<uint64_t>(file.Size());
    return length >= least && offset <= size && length <= size - offset;
}

bool ReadExactly(const InputFile& file, uint64_t offset, void* buffer, size_t count)
{
    return file.ReadAt(static_cast<int64_t>(offset), buffer, count) == static_cast<int64_t>(count);
}

// A JPEG stream's frame header, found by walking the segments after its start marker.
struct JpegFrame {
    int marker = 0;
    int precision = 0;
    uint32_t height = 0, width = 0;
    int components = 0;
};

bool ReadJpegFrame(const InputFile& file, const FileRange& stream, JpegFrame& frame)
{
    constexpr int kMostSegments = 256;
    const int64_t end = stream.offset + stream.length;
    int64_t at = stream.offset + 2;
    for (int segments = 0; segments < kMostSegments && at + 4 <= end; ++segments) {
        uint8_t head[10] {};
        if (!ReadExactly(file, static_cast<uint64_t>(at), head, 4) || head[0] != 0xFF)
            return false;
        if (head[1] == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        frame.marker = 0xFF00 | head[1];
        const bool isFrame = head[1] >= 0xC0 && head[1] <= 0xCF && head[1] != 0xC4 && head[1] != 0xC8 && head[1] != 0xCC;
        if (isFrame) {
            if (at + 10 > end || !ReadExactly(file, static_cast<uint64_t>(at), head, 10))
                return false;
            frame.precision = head[4];
            frame.height = uint32_t {head[5]} << 8 | head[6];
            frame.width = uint32_t {head[7]} << 8 | head[8];
            frame.components = head[9];
            return true;
        }
        at += 2 + (head[2] << 8 | head[3]);
    }
    return false;
}

// Reads the current directory of `tiff` as one page.
class PageReader {
public:
    PageReader(TiffHandle& tiff, const ProbeRequest& request, ProbeOutcome& outcome)
        : tiff_(tiff), tif_(tiff.Tif()), request_(request), outcome_(outcome)
    {
    }

    EntryProblem Read()
    {
        uint32_t width = 0, height = 0;
        // An error while its directory was read (libtiff goes on with what it guessed) is damage.
        if (!tiff_.Error().empty())
            return Refusal(EntryRefusal::TiffDamaged, tiff_.Error());
        if (!TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &height))
            return Refusal(EntryRefusal::TiffDamaged, "no image width or length");
        if (width == 0 || height == 0)
            return Refusal(EntryRefusal::ZeroSize, {});
        if (width > INT32_MAX || height > INT32_MAX)
            return Refusal(EntryRefusal::TiffDamaged, "a width or length above 2^31 - 1");
        TIFFGetFieldDefaulted(tif_, TIFFTAG_BITSPERSAMPLE, &bits_);
        TIFFGetFieldDefaulted(tif_, TIFFTAG_SAMPLESPERPIXEL, &samples_);
        TIFFGetFieldDefaulted(tif_, TIFFTAG_COMPRESSION, &compression_);
        if (!TIFFGetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric_))
            return Refusal(EntryRefusal::TiffDamaged, "no photometric interpretation");
        const int colours = ColourSamples(photometric_);
        if (colours == 0)
            return NotTaken("photometric interpretation " + std::to_string(photometric_)
                            + "; bilevel, grey, RGB, palette and CMYK are taken");
        if (samples_ < colours)
            return Refusal(EntryRefusal::TiffDamaged, std::to_string(samples_) + " samples a pixel for photometric "
                                                          + std::to_string(photometric_));
        if (photometric_ == PHOTOMETRIC_YCBCR && compression_ != COMPRESSION_JPEG)
            return NotTaken("YCbCr samples outside JPEG data");
        if (photometric_ == PHOTOMETRIC_SEPARATED) {
            uint16_t inks = INKSET_CMYK;
            TIFFGetFieldDefaulted(tif_, TIFFTAG_INKSET, &inks);
            if (inks != INKSET_CMYK)
                return NotTaken("separated inks other than CMYK");
        }
        if (bits_ != 1 && bits_ != 2 && bits_ != 4 && bits_ != 8 && bits_ != 16)
            return NotTaken(std::to_string(bits_) + " bits a sample; 1, 2, 4, 8 and 16 are taken");
        if (photometric_ == PHOTOMETRIC_PALETTE && bits_ > 8)
            return NotTaken("a palette of 16-bit indices");
        if (colours > 1 && bits_ < 8)
            return NotTaken(std::to_string(bits_) + "-bit colour samples");
        uint16_t sampleFormat = SAMPLEFORMAT_UINT;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
        if (sampleFormat != SAMPLEFORMAT_UINT && sampleFormat != SAMPLEFORMAT_VOID)
            return NotTaken("samples that are not unsigned integers");
        if (samples_ > colours) {
            // One alpha sample after the colours, not premultiplied, becomes a soft mask.
            const int alpha = ExtraSamplesAlpha();
            if (alpha != EXTRASAMPLE_UNASSALPHA || samples_ != colours + 1 || bits_ < 8)
                return NotTaken(alpha == EXTRASAMPLE_ASSOCALPHA ? "premultiplied (associated) alpha"
                                    : alpha == EXTRASAMPLE_UNASSALPHA ? "alpha beside samples of fewer than 8 bits"
                                                                      : "extra samples that are not alpha");
            alphaBits_ = bits_;
        }

        outcome_.info = {photometric_ == PHOTOMETRIC_SEPARATED, static_cast<int32_t>(width),
                         static_cast<int32_t>(height)};
        outcome_.components = photometric_ == PHOTOMETRIC_PALETTE ? 3 : colours;
        outcome_.problem.components = outcome_.components;
        ImageCoding& coding = outcome_.coding;
        coding.directory = TIFFCurrentDirOffset(tif_);
        coding.bitsPerComponent = bits_;
        coding.colours = colours == 4 ? 4 : photometric_ == PHOTOMETRIC_PALETTE ? 1 : colours;
        coding.inverted = photometric_ == PHOTOMETRIC_MINISWHITE;
        if (photometric_ == PHOTOMETRIC_PALETTE) {
            EntryProblem problem = ReadPalette();
            if (problem.refusal != EntryRefusal::None)
                return problem;
        }
        EntryProblem problem = ReadCoding();
        if (problem.refusal != EntryRefusal::None)
            return problem;
        if (outcome_.components == 1 && photometric_ != PHOTOMETRIC_PALETTE && !request_.acceptGray) {
            problem.refusal = EntryRefusal::ComponentCount;  // as a grey JPEG is
            problem.components = 1;
            return problem;
        }
        if (!tiff_.Error().empty())
            return Refusal(EntryRefusal::TiffDamaged, tiff_.Error());
        if (request_.orientation)
            ReadOrientation();
        if (request_.density)
            ReadDensity();
        if (request_.profile)
            ReadProfile();
        return {};
    }

private:
    // What the first extra sample is (EXTRASAMPLE_UNSPECIFIED when the tag is absent).
    int ExtraSamplesAlpha()
    {
        uint16_t count = 0;
        uint16_t* kinds = nullptr;
        if (!TIFFGetField(tif_, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0)
            return EXTRASAMPLE_UNSPECIFIED;
        return kinds[0];
    }

    // Pixels decoded by libtiff as the page is written and compressed again with Flate: data that
    // cannot be copied as it is (LZW, PackBits, uncompressed, several strips or tiles), and alpha.
    EntryProblem Decoded()
    {
        if (!TIFFIsCODECConfigured(compression_) || compression_ == COMPRESSION_OJPEG)
            return NotTaken(CompressionName(compression_));
        if (EntryProblem problem = StripsInFile(); problem.refusal != EntryRefusal::None)
            return problem;
        ImageCoding& coding = outcome_.coding;
        coding.kind = ImageCodingKind::Pixels;
        coding.source = PictureKind::Tiff;
        coding.alphaBits = alphaBits_;
        coding.inverted = false;  // the decoded rows are turned
        coding.ranges.clear();
        coding.head.clear();
        // A row of samples, or of tiles, is what the decoder holds.
        uint32_t tileLength = 1;
        if (TIFFIsTiled(tif_))
            TIFFGetField(tif_, TIFFTAG_TILELENGTH, &tileLength);
        const double held = static_cast<double>(outcome_.info.Width) * samples_ * bits_ / 8 * tileLength;
        if (held > static_cast<double>(kMostTiffAllocation)) {
            EntryProblem problem;
            problem.refusal = EntryRefusal::DecodedTooLarge;
            return problem;
        }
        return {};
    }

    // The colour map's 16-bit values as 8-bit RGB triples. Maps whose values all lie below 256
    // were written as 8-bit values by old programs and are taken as they are.
    EntryProblem ReadPalette()
    {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif_, TIFFTAG_COLORMAP, &red, &green, &blue))
            return Refusal(EntryRefusal::TiffDamaged, "a palette picture without a colour map");
        const size_t entries = size_t {1} << bits_;
        bool eightBit = true;
        for (size_t i = 0; i < entries; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        std::vector<uint8_t>& palette = outcome_.coding.palette;
        palette.reserve(entries * 3);
        for (size_t i = 0; i < entries; ++i) {
            for (const uint16_t* map : {red, green, blue})
                palette.push_back(static_cast<uint8_t>(eightBit ? map[i] : (map[i] * 255u + 32767u) / 65535u));
        }
        return {};
    }

    // Whether the data is one strip, or one tile the picture's size: one stream to copy.
    bool OneStripCopied()
    {
        if (TIFFNumberOfStrips(tif_) != 1)
            return false;
        uint32_t tileWidth = 0, tileLength = 0;
        return !TIFFIsTiled(tif_)
            || (TIFFGetField(tif_, TIFFTAG_TILEWIDTH, &tileWidth) && TIFFGetField(tif_, TIFFTAG_TILELENGTH, &tileLength)
                && tileWidth == static_cast<uint32_t>(outcome_.info.Width)
                && tileLength == static_cast<uint32_t>(outcome_.info.Height));
    }

    // The one strip's (or tile's) place in the file, checked against the file's size.
    EntryProblem OneStrip(uint64_t least)
    {
        // The tables are read only now; libtiff says (and guesses a value) when they are damaged.
        int error = 0;
        const uint64_t offset = TIFFGetStrileOffsetWithErr(tif_, 0, &error);
        const uint64_t length = error == 0 ? TIFFGetStrileByteCountWithErr(tif_, 0, &error) : 0;
        if (!tiff_.Error().empty())
            return Refusal(EntryRefusal::TiffDamaged, tiff_.Error());
        if (error != 0 || !RangeInFile(tiff_.File(), offset, length, least))
            return Refusal(EntryRefusal::TiffDamaged, "its strip lies outside the file or is empty");
        outcome_.coding.ranges = {{static_cast<int64_t>(offset), static_cast<int64_t>(length)}};
        return {};
    }

    EntryProblem ReadCoding()
    {
        uint16_t planar = PLANARCONFIG_CONTIG;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_PLANARCONFIG, &planar);
        if (samples_ > 1 && planar != PLANARCONFIG_CONTIG)
            return NotTaken("samples stored in separate planes");
        if (alphaBits_ != 0)
            return Decoded();
        switch (compression_) {
        case COMPRESSION_CCITTFAX3:
        case COMPRESSION_CCITTFAX4:
            return ReadFax();
        case COMPRESSION_CCITTRLE:
        case COMPRESSION_CCITTRLEW:
            if (bits_ != 1 || samples_ != 1 || photometric_ > PHOTOMETRIC_MINISBLACK)
                return Refusal(EntryRefusal::TiffDamaged, "CCITT data of samples other than one bit");
            return Recoded();
        case COMPRESSION_JPEG:
            return ReadJpeg();
        case COMPRESSION_ADOBE_DEFLATE:
        case COMPRESSION_DEFLATE:
            return ReadDeflate();
        default:
            return Decoded();
        }
    }

    // Every strip (or tile) of data decoded while the page is written lies inside the file: damage
    // found now refuses the page before anything is written.
    EntryProblem StripsInFile()
    {
        const uint32_t strips = TIFFNumberOfStrips(tif_);
        if (strips == 0 || strips > kMostTiffStrips)
            return Refusal(EntryRefusal::TiffDamaged, std::to_string(strips) + " strips or tiles");
        for (uint32_t i = 0; i < strips; ++i) {
            int error = 0;
            const uint64_t offset = TIFFGetStrileOffsetWithErr(tif_, i, &error);
            const uint64_t length = error == 0 ? TIFFGetStrileByteCountWithErr(tif_, i, &error) : 0;
            if (!tiff_.Error().empty())
                return Refusal(EntryRefusal::TiffDamaged, tiff_.Error());
            if (error != 0 || !RangeInFile(tiff_.File(), offset, length, 1))
                return Refusal(EntryRefusal::TiffDamaged, "strip " + std::to_string(i) + " lies outside the file or is empty");
        }
        return {};
    }

    // Bilevel rows to be decoded and encoded again as one Group 4 stream.
    EntryProblem Recoded()
    {
        if (EntryProblem problem = StripsInFile(); problem.refusal != EntryRefusal::None)
            return problem;
        outcome_.coding.kind = ImageCodingKind::TiffFaxRecoded;
        outcome_.coding.fax = {-1, photometric_ == PHOTOMETRIC_MINISBLACK, false, false};
        outcome_.coding.inverted = false;
        return {};
    }

    EntryProblem ReadFax()
    {
        if (bits_ != 1 || samples_ != 1 || photometric_ > PHOTOMETRIC_MINISBLACK)
            return Refusal(EntryRefusal::TiffDamaged, "CCITT data of samples other than one bit of black or white");
        ImageCoding& coding = outcome_.coding;
        FaxCoding& fax = coding.fax;
        uint16_t fillOrder = FILLORDER_MSB2LSB;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_FILLORDER, &fillOrder);
        coding.reverseBits = fillOrder == FILLORDER_LSB2MSB;
        // The decoded rows say 1 for black where the file's black is zero.
        coding.inverted = false;
        fax.blackIs1 = photometric_ == PHOTOMETRIC_MINISBLACK;
        if (compression_ == COMPRESSION_CCITTFAX3) {
            uint32_t options = 0;
            TIFFGetFieldDefaulted(tif_, TIFFTAG_GROUP3OPTIONS, &options);
            if (options & GROUP3OPT_UNCOMPRESSED)
                return Recoded();
            fax.k = options & GROUP3OPT_2DENCODING ? 1 : 0;
            fax.encodedByteAlign = (options & GROUP3OPT_FILLBITS) != 0;
        }
        // Strips or tiles cannot be joined into one stream; drawn one image each, they would show seams.
        if (TIFFNumberOfStrips(tif_) != 1 || TIFFIsTiled(tif_))
            return Recoded();
        EntryProblem problem = OneStrip(2);
        if (problem.refusal != EntryRefusal::None)
            return problem;
        coding.kind = ImageCodingKind::TiffFax;
        if (fax.k >= 0)
            fax.endOfLine = BeginsWithEndOfLine();
        return {};
    }

    // Whether the first row's code begins with an end-of-line code (eleven 0 bits and a 1),
    // after the fill bits that byte-align it.
    bool BeginsWithEndOfLine()
    {
        uint8_t bytes[4] {};
        const FileRange& strip = outcome_.coding.ranges.front();
        const size_t count = static_cast<size_t>(std::min<int64_t>(strip.length, 4));
        if (!ReadExactly(tiff_.File(), static_cast<uint64_t>(strip.offset), bytes, count))
            return false;
        uint32_t bits = 0;
        for (size_t i = 0; i < 4; ++i) {
            uint8_t byte = bytes[i];
            if (outcome_.coding.reverseBits)
                byte = static_cast<uint8_t>(((byte * 0x0802LU & 0x22110LU) | (byte * 0x8020LU & 0x88440LU)) * 0x10101LU >> 16);
            bits = bits << 8 | byte;
        }
        // Leading zeros, at least eleven, then a 1: an end-of-line with any fill before it.
        const int zeros = bits == 0 ? 32 : __builtin_clz(bits);
        return zeros >= 11 && zeros < 32;
    }

    EntryProblem ReadJpeg()
    {
        if (bits_ != 8)
            return NotTaken(std::to_string(bits_) + "-bit JPEG data");
        if (photometric_ == PHOTOMETRIC_MINISWHITE || photometric_ == PHOTOMETRIC_PALETTE)
            return NotTaken("JPEG data of photometric interpretation " + std::to_string(photometric_));
        ImageCoding& coding = outcome_.coding;
        if (!OneStripCopied())
            return Decoded();
        EntryProblem problem = OneStrip(4);
        if (problem.refusal != EntryRefusal::None)
            return problem;
        uint32_t count = 0;
        const uint8_t* tables = nullptr;
        FileRange& strip = coding.ranges.front();
        uint8_t start[2];
        if (!ReadExactly(tiff_.File(), static_cast<uint64_t>(strip.offset), start, 2) || start[0] != 0xFF
            || start[1] != 0xD8)
            return Refusal(EntryRefusal::TiffDamaged, "its JPEG strip does not begin with a start-of-image marker");
        // The frame the readers decode is the page's picture: its size and samples as the tags say.
        JpegFrame frame;
        if (!ReadJpegFrame(tiff_.File(), strip, frame))
            return Refusal(EntryRefusal::TiffDamaged, "its JPEG strip has no frame header");
        if ((frame.marker != 0xFFC0 && frame.marker != 0xFFC2) || frame.precision != 8)
            return Decoded();
        if (frame.width != static_cast<uint32_t>(outcome_.info.Width)
            || frame.height != static_cast<uint32_t>(outcome_.info.Height) || frame.components != samples_)
            return Refusal(EntryRefusal::TiffDamaged, "its JPEG strip's frame is not the size or samples its tags say");
        if (TIFFGetField(tif_, TIFFTAG_JPEGTABLES, &count, &tables) && count > 4) {
            // Tables and strip are each a whole JPEG stream: the tables without their end, the strip
            // without its start, make one.
            if (count > kMostJpegTablesBytes || tables[0] != 0xFF || tables[1] != 0xD8 || tables[count - 2] != 0xFF
                || tables[count - 1] != 0xD9)
                return Refusal(EntryRefusal::TiffDamaged, "its JPEG tables are not one abbreviated JPEG stream");
            coding.head.assign(tables, tables + count - 2);
            strip.offset += 2;
            strip.length -= 2;
        }
        coding.kind = ImageCodingKind::TiffDct;
        // Without JFIF or Adobe markers readers take three components as YCbCr.
        coding.colourTransformOff = photometric_ == PHOTOMETRIC_RGB;
        coding.inverted = false;
        return {};
    }

    EntryProblem ReadDeflate()
    {
        uint16_t predictor = PREDICTOR_NONE;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_PREDICTOR, &predictor);
        if (predictor != PREDICTOR_NONE && !(predictor == PREDICTOR_HORIZONTAL && bits_ >= 8))
            return NotTaken("Deflate data with predictor " + std::to_string(predictor) + " at " + std::to_string(bits_)
                            + " bits a sample");
        // PDF's 16-bit samples are big-endian; a little-endian file's are not.
        if ((bits_ == 16 && !TIFFIsBigEndian(tif_)) || !OneStripCopied())
            return Decoded();
        EntryProblem problem = OneStrip(2);
        if (problem.refusal != EntryRefusal::None)
            return problem;
        outcome_.coding.kind = ImageCodingKind::TiffFlate;
        outcome_.coding.predictor = predictor == PREDICTOR_HORIZONTAL ? 2 : 1;
        return {};
    }

    void ReadOrientation()
    {
        uint16_t orientation = ORIENTATION_TOPLEFT;
        if (TIFFGetField(tif_, TIFFTAG_ORIENTATION, &orientation) && orientation >= 1 && orientation <= 8)
            outcome_.orientation = orientation;
    }

    // Unit 1 states only an aspect; an absent unit is the inch.
    void ReadDensity()
    {
        float x = 0, y = 0;
        uint16_t unit = RESUNIT_INCH;
        if (!TIFFGetField(tif_, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tif_, TIFFTAG_YRESOLUTION, &y))
            return;
        TIFFGetFieldDefaulted(tif_, TIFFTAG_RESOLUTIONUNIT, &unit);
        if (unit != RESUNIT_INCH && unit != RESUNIT_CENTIMETER)
            return;
        const double scale = unit == RESUNIT_CENTIMETER ? kCentimetresPerInch : 1;
        const double dx = x * scale, dy = y * scale;
        if (dx > 0 && dy > 0 && dx <= kMostPixelsPerInch && dy <= kMostPixelsPerInch)
            outcome_.density = {dx, dy};
    }

    void ReadProfile()
    {
        uint32_t count = 0;
        const uint8_t* profile = nullptr;
        if (!TIFFGetField(tif_, TIFFTAG_ICCPROFILE, &count, &profile) || profile == nullptr)
            return;
        outcome_.profileIgnored = CheckIccProfile(profile, count, outcome_.components);
        if (outcome_.profileIgnored.empty())
            outcome_.profile.assign(profile, profile + count);
    }

    TiffHandle& tiff_;
    TIFF* tif_;
    const ProbeRequest& request_;
    ProbeOutcome& outcome_;
    uint16_t bits_ = 1, samples_ = 1, compression_ = COMPRESSION_NONE, photometric_ = 0;
    int alphaBits_ = 0;
};

EntryProblem Damaged(const TiffHandle& tiff, const char* otherwise)
{
    return Refusal(EntryRefusal::TiffDamaged, tiff.Error().empty() ? otherwise : tiff.Error());
}

}  // namespace

void ProbeTiffFile(const std::string& path, const ProbeRequest& request, TiffProbeOutcome& outcome) noexcept
{
    try {
        outcome = TiffProbeOutcome {};
        InputFile file;
        if (!file.Open(path)) {
            outcome.problem = OpenProblem(file);
            return;
        }
        TiffHandle tiff(file);
        if (!tiff.Open()) {
            outcome.problem = Damaged(tiff, "not a TIFF file libtiff reads");
            return;
        }
        int directories = 0;
        do {
            if (++directories > kMostTiffDirectories) {
                outcome.problem = Refusal(EntryRefusal::TiffDamaged,
                                          "more than " + std::to_string(kMostTiffDirectories) + " image file directories");
                return;
            }
            uint32_t kind = 0;
            if (TIFFGetField(tiff.Tif(), TIFFTAG_SUBFILETYPE, &kind) && (kind & FILETYPE_REDUCEDIMAGE))
                continue;
            ProbeOutcome& page = outcome.pages.emplace_back();
            page.problem = PageReader(tiff, request, page).Read();
            page.identity = file.Identity();
            tiff.ClearError();
        } while (TIFFReadDirectory(tiff.Tif()));
        // Directories end at an offset of 0; anything else that stops them is damage, and a page
        // lost with it.
        if (!tiff.Error().empty()) {
            outcome.problem = Damaged(tiff, "");
            outcome.pages.clear();
        } else if (outcome.pages.empty()) {
            outcome.problem = NotTaken("no page but reduced-resolution images");
        }
    } catch (...) {
        outcome = TiffProbeOutcome {};
        outcome.problem.refusal = EntryRefusal::CannotOpen;
        outcome.problem.systemError = ENOMEM;
    }
}

bool ReadTiffPageCoding(TiffHandle& tiff, ImageCoding& coding, EntryProblem& problem)
{
    ProbeRequest request;
    request.acceptGray = true;
    ProbeOutcome page;
    problem = PageReader(tiff, request, page).Read();
    coding = std::move(page.coding);
    return problem.refusal == EntryRefusal::None;
}

}  // namespace jpeg2pdf
