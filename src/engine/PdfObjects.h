// The pieces of the PDF file, each written at the output's current position. Every function
// returns false as soon as a write fails; what was written before stays in the file.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "FileAccess.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

// Entry n - 1 holds where object n begins; the last entry holds where the cross-reference
// section begins.
using ObjectOffsets = std::vector<int64_t>;

// Object numbers for N pages: catalog 1, page tree 2, then N pages, N images, N contents.
struct ObjectNumbers {
    int64_t pageCount;
    int64_t Page(int64_t i) const { return 3 + i; }
    int64_t Image(int64_t i) const { return pageCount + 3 + i; }
    int64_t Contents(int64_t i) const { return 2 * pageCount + 3 + i; }
    int64_t ObjectCount() const { return 3 * pageCount + 2; }
};

// One page's image: its frame facts, and how the stored picture is turned to be shown upright
// (an Exif orientation, 1 to 8; 1 leaves it as stored).
struct PageImage {
    JpegFrameInfo frame;
    int orientation = 1;
    // The page shows the picture upright: width and height trade places for orientations 5 to 8.
    bool Transposed() const { return orientation >= 5 && orientation <= 8; }
    int32_t PageWidth() const { return Transposed() ? frame.Height : frame.Width; }
    int32_t PageHeight() const { return Transposed() ? frame.Width : frame.Height; }
};

bool WriteText(OutputFile& out, std::string_view text);
bool WriteNumber(OutputFile& out, int64_t number);

bool WriteCatalog(OutputFile& out, ObjectOffsets& offsets);
bool WritePageTree(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers);
bool WritePageObject(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers, int64_t page,
                     const PageImage& image);
// The image object up to and including the end of its stream: the dictionary, then the whole
// file `jpeg` as the stream's data.
bool WriteImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const JpegFrameInfo& image,
                      const InputFile& jpeg);
bool WritePageContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, int32_t width,
                            int32_t height);
// The content stream that draws the image over the whole page, turned by its orientation; for
// orientation 1 the same bytes as WritePageContentObject.
bool WriteOrientedContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber,
                                const PageImage& image);
// Records where the section begins in the last entry of `offsets`, then lists objects
// 1 ... objectCount.
bool WriteXrefSection(OutputFile& out, ObjectOffsets& offsets, int64_t objectCount);
bool WriteTrailer(OutputFile& out, int64_t xrefEntryCount, int64_t xrefOffset);

}  // namespace jpeg2pdf
