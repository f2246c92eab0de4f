// SPDX-License-Identifier: GPL-2.0-or-later
// Why a list entry cannot become a page: found by reading its file, by planning its page, or when
// it cannot be opened again while the document is written.
#pragma once

#include <array>
#include <string>

#include "PictureKind.h"

namespace jpeg2pdf {

enum class EntryRefusal {
    None,
    EmptyPath,
    CannotOpen,  // systemError says why
    NotRegularFile,  // a folder, device, FIFO or socket
    LockedByWriter,  // another program holds the file's exclusive lock
    NotJpeg,  // does not begin with a start-of-image marker
    EndsEarly,  // the file ends before a frame header
    NoFrameHeader,  // the headers end (image data, end of image, fill bytes) without a frame header
    UnsupportedFrame,  // only a frame of another coding process; frameMarker says which
    NotEightBit,  // precision holds the sample precision
    ComponentCount,  // components holds the count
    ZeroSize,  // the frame header gives a width or height of 0
    // Only under a PDF/A part:
    CmykWithoutProfile,  // PDF/A: a CMYK picture without a usable profile cannot be shown under an sRGB intent
    PageOutOfRange,  // PDF/A: the page would be smaller than 3 or larger than 14,400 units on a side
    // A page sized by a density (without paper) would be smaller than 3 or larger than 14,400
    // points on a side, what readers show; `sized` says how large and at what density.
    DensityPageOutOfRange,
    // PNG files, taken only where the caller allows them:
    PngDamaged,  // `damage` says how, `chunk` names the chunk where it has one
    PngUnknownCritical,  // a critical chunk this reader does not know: `chunk`
    SixteenBitUnderPdfA1,  // PDF/A-1b: 16 bits a sample came only with PDF 1.5
    ChangedSinceRead,  // opened again to be copied, the file no longer holds what was read
    // TIFF files, taken only where the caller allows them:
    TiffDamaged,  // `detail`: what the TIFF library said of it
    TiffNotTaken,  // a page coded in a way not taken: `detail` says which
    PixelsDamaged,  // decoded while written, the picture's compressed pixels proved damaged
    DecodedTooLarge,  // decoding would hold more bytes at once than kMostDecodedBytes
    SoftMaskUnderPdfA1,  // PDF/A-1b: transparency that needs a soft mask
};

// How a PNG file is damaged.
enum class PngDamage {
    None,
    Signature,  // the file does not begin with PNG's whole 8-byte signature
    EndsEarly,  // the file ends inside a chunk (named), or before IEND
    ChunkCrc,  // a chunk's CRC does not match its bytes
    ChunkLength,  // a length above 2^31 - 1
    ChunkType,  // a chunk type of other bytes than ASCII letters
    HeaderInvalid,  // IHDR missing, not first, or giving a size, depth or colour type PNG does not have
    ChunkOrder,  // a chunk where PNG does not allow it (PLTE after IDAT, a second IHDR, ...)
    DataSplit,  // IDAT chunks with other chunks between them
    NoImageData,  // IEND before any IDAT
    TooManyDataChunks,  // more IDAT chunks than kMostPngDataChunks
    PaletteInvalid,  // PLTE missing for colour type 3, or not 1 to 2^depth RGB triples
};

// Where the density that sized a page came from.
enum class DensityOrigin {
    Given,  // the same for every file
    FileStated,  // the file's own
    FileStatesNone,  // the file's own was asked for, and it states none: 72
};

// A page's size in points and the density that made it, in dots per inch across and down the
// picture as the page shows it.
struct SizedPage {
    double width = 0, height = 0;
    double densityX = 0, densityY = 0;
    DensityOrigin origin = DensityOrigin::Given;
};

struct EntryProblem {
    EntryRefusal refusal = EntryRefusal::None;
    int systemError = 0;
    int frameMarker = 0;
    int precision = 0;
    int components = 0;
    SizedPage sized;  // with DensityPageOutOfRange
    PictureKind kind = PictureKind::Unknown;  // with NotJpeg: what the file's first bytes say it is
    PngDamage damage = PngDamage::None;  // with PngDamaged
    std::array<char, 5> chunk {};  // with PngDamaged and PngUnknownCritical: the chunk type, or empty
    std::string detail;  // with TiffDamaged and TiffNotTaken: one line, without the file name
};

// One refused entry: its index in the list and why, and for a file of several pages which page
// (from 0); -1: the file as a whole.
struct EntryReport {
    int entry = -1;
    EntryProblem problem;
    int page = -1;
};

}  // namespace jpeg2pdf
