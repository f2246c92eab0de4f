// SPDX-License-Identifier: GPL-2.0-or-later
// The user's words for why an entry cannot become a page.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "ExportDetails.h"
#include "PictureKindSniffer.h"
#include "PngChunks.h"
#include "PngPixels.h"
#include "ReaderBounds.h"

namespace jpeg2pdf {

namespace {

std::string FrameKind(int marker)
{
    switch (marker) {
    case 0xFFC1:
        return "extended-sequential";
    case 0xFFC3:
        return "lossless";
    case 0xFFC5:
    case 0xFFC6:
    case 0xFFC7:
        return "hierarchical";
    default:
        return "arithmetic-coded";  // C9 to CB, and CD to CF (arithmetic and hierarchical)
    }
}

// `value` with `decimals` places at most, trailing zeros dropped (in any locale): 86400, 0.86.
std::string Fixed(double value, int decimals)
{
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    std::string text(digits, result.ptr);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

// Thousands grouped: 86,400.5.
std::string Grouped(std::string number)
{
    for (size_t at = std::min(number.find('.'), number.size()); at > 3; at -= 3)
        number.insert(at - 3, 1, ',');
    return number;
}

// A page's side in points, with the places it takes to keep it on its side of the bounds (2.999,
// not 3).
std::string Side(double points)
{
    const auto shown = [](double side) { return side >= kSmallestPageSide && side <= kLargestPageSide; };
    std::string text = Fixed(points, 2);
    for (int decimals = 3; decimals <= 6; ++decimals) {
        double rounded = 0;
        std::from_chars(text.data(), text.data() + text.size(), rounded);
        if (shown(rounded) == shown(points))
            break;
        text = Fixed(points, decimals);
    }
    return Grouped(text);
}

std::string DescribeSizedPage(const SizedPage& page)
{
    const std::string density = page.densityX == page.densityY
        ? Grouped(Fixed(page.densityX, 2))
        : Grouped(Fixed(page.densityX, 2)) + " x " + Grouped(Fixed(page.densityY, 2));
    const char* origin = page.origin == DensityOrigin::FileStated ? " (the file's density)"
        : page.origin == DensityOrigin::FileStatesNone            ? " (the file states none)"
                                                                  : "";
    return "at " + density + " dpi" + origin + " the page would be " + Side(page.width) + " x " + Side(page.height)
        + " points; a side must be 3 to 14,400 points";
}

std::string ChunkName(const EntryProblem& problem)
{
    return problem.chunk[0] != 0 ? std::string(problem.chunk.data(), 4) : std::string();
}

std::string DescribePngDamage(const EntryProblem& problem)
{
    const std::string chunk = ChunkName(problem);
    switch (problem.damage) {
    case PngDamage::Signature:
        return "the file ends before its 8-byte signature, or the signature is not PNG's";
    case PngDamage::EndsEarly:
        return chunk.empty() ? "the file ends before IEND" : "the file ends inside chunk " + chunk;
    case PngDamage::ChunkCrc:
        return "chunk " + chunk + " fails its CRC";
    case PngDamage::ChunkLength:
        return "chunk " + chunk + " states a length above 2^31 - 1 bytes";
    case PngDamage::ChunkType:
        return "a chunk type that is not four letters";
    case PngDamage::HeaderInvalid:
        return "no valid IHDR first (a size of 0, or a bit depth, colour type or method PNG does not have)";
    case PngDamage::ChunkOrder:
        return "chunk " + chunk + " where PNG does not allow it";
    case PngDamage::DataSplit:
        return "its IDAT chunks are not consecutive (chunk " + chunk + " between them)";
    case PngDamage::NoImageData:
        return "no IDAT chunk before IEND";
    case PngDamage::TooManyDataChunks:
        return "more than " + std::to_string(kMostPngDataChunks) + " IDAT chunks";
    case PngDamage::PaletteInvalid:
        return chunk.empty() ? "a palette picture without a PLTE chunk"
                             : "its PLTE chunk does not fit the colour type and bit depth";
    case PngDamage::None:
        break;
    }
    return "damaged";
}

}  // namespace

std::string DescribeEntryProblem(const EntryProblem& problem)
{
    switch (problem.refusal) {
    case EntryRefusal::None:
        return "usable";
    case EntryRefusal::EmptyPath:
        return "empty file name";
    case EntryRefusal::CannotOpen:
        return std::string("cannot open: ") + std::strerror(problem.systemError);
    case EntryRefusal::NotRegularFile:
        return "not a regular file";
    case EntryRefusal::LockedByWriter:
        return "cannot open: another program is writing it (locked)";
    case EntryRefusal::NotJpeg:
        // A file that opens as JPEG but lacks the start marker stays plainly "not a JPEG file".
        if (problem.kind != PictureKind::Unknown && problem.kind != PictureKind::Jpeg)
            return std::string("not a JPEG file: ") + KindName(problem.kind);
        return "not a JPEG file";
    case EntryRefusal::EndsEarly:
        return "the file ends before its frame header is complete";
    case EntryRefusal::NoFrameHeader:
        return "no frame header before the image data";
    case EntryRefusal::UnsupportedFrame:
        return FrameKind(problem.frameMarker) + " frame; PDF readers show baseline and progressive JPEG only";
    case EntryRefusal::NotEightBit:
        return std::to_string(problem.precision) + "-bit samples; PDF readers show 8-bit JPEG only";
    case EntryRefusal::ComponentCount:
        if (problem.components == 1)
            return "grayscale (1 component); only RGB (3) and CMYK (4) are supported";
        return std::to_string(problem.components) + " components; only RGB (3) and CMYK (4) are supported";
    case EntryRefusal::ZeroSize:
        return "zero width or height";
    case EntryRefusal::CmykWithoutProfile:
        return "CMYK without a usable colour profile of its own; a PDF/A document with an sRGB output intent "
               "cannot show it";
    case EntryRefusal::PageOutOfRange:
        return "the page would be smaller than 3 or larger than 14,400 units on a side, which PDF/A does not allow";
    case EntryRefusal::DensityPageOutOfRange:
        return DescribeSizedPage(problem.sized);
    case EntryRefusal::PngDamaged:
        return "PNG data damaged: " + DescribePngDamage(problem);
    case EntryRefusal::PngUnknownCritical:
        return "PNG chunk " + ChunkName(problem) + " is critical and unknown; the picture cannot be read without it";
    case EntryRefusal::ChangedSinceRead:
        return "the file changed after it was read";
    case EntryRefusal::TiffDamaged:
        return "TIFF data damaged: " + problem.detail;
    case EntryRefusal::TiffNotTaken:
        return "TIFF page not taken: " + problem.detail;
    case EntryRefusal::SixteenBitUnderPdfA1:
        return "16-bit samples; PDF/A-1b cannot hold them (--pdfa 2b can)";
    case EntryRefusal::SoftMaskUnderPdfA1:
        return "transparency that needs a soft mask (an alpha channel, partly transparent palette colours, or a "
               "16-bit transparent colour); PDF/A-1b cannot hold it (--pdfa 2b can)";
    case EntryRefusal::PixelsDamaged:
        return "its compressed pixels are damaged and cannot be decoded";
    case EntryRefusal::DecodedTooLarge:
        return "too large to decode: more than " + std::to_string(kMostDecodedBytes >> 20)
            + " MiB at once (a row, or an interlaced picture whole)";
    }
    return "not usable";
}

}  // namespace jpeg2pdf
