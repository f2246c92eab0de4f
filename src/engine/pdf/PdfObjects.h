// SPDX-License-Identifier: GPL-2.0-or-later
// The pieces of the PDF file, each written at the output's current position as its plan says.
// Every function returns false as soon as a write fails; what was written before stays in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FileAccess.h"
#include "PagePlan.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

// One page's image as the window sees it: its frame facts, and how the stored picture is turned
// to be shown upright (an Exif orientation, 1 to 8; 1 leaves it as stored).
struct PageImage {
    JpegFrameInfo frame;
    int orientation = 1;
    // The page shows the picture upright: width and height trade places for orientations 5 to 8.
    bool Transposed() const { return orientation >= 5 && orientation <= 8; }
    int32_t PageWidth() const { return Transposed() ? frame.Height : frame.Width; }
    int32_t PageHeight() const { return Transposed() ? frame.Width : frame.Height; }
};

// A number as the file writes it, without the locale: integral values as integers, others with
// at most four decimals, trailing zeros dropped; never an exponent, never "-0".
std::string PdfNumber(double value);

bool WriteText(OutputFile& out, std::string_view text);
bool WriteNumber(OutputFile& out, int64_t number);
bool WriteReal(OutputFile& out, double value);
// Remembers where object `number` begins and writes "number 0 obj\n"; fails with EFBIG past the
// offsets a cross-reference entry can hold.
bool BeginObject(OutputFile& out, ObjectOffsets& offsets, int64_t number);
// Ends a stream's data and the object: "endstream\nendobj\n", after an end-of-line on request.
bool EndStreamObject(OutputFile& out, bool eolBeforeEndstream);

bool WriteHeader(OutputFile& out, const DocumentExtras& extras);
bool WriteCatalog(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& extraEntries = {});
bool WritePageTree(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers);
// What a page object may carry beyond the window's: the text layer's font in its resources, and
// a turn readers show it with.
struct PageObjectExtras {
    int64_t textFont = 0;  // 0: none
    int quarterTurns = 0;  // clockwise; 0: no /Rotate
};
bool WritePageObject(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers, int64_t page,
                     const PagePlan& plan, const PageObjectExtras& extras = {});
// The image object up to and including the end of its stream, the whole file `jpeg` as the
// stream's data; with `data` set, what it writes instead, followed by the plan's length object.
bool WriteImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                      const InputFile& jpeg, const DocumentExtras& extras);
// The content stream that draws the image as the plan places it (and clips it), after
// `underlay` (whole operator lines).
bool WriteContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                        bool eolBeforeEndstream, std::string_view underlay = {});
// Records where the section begins in the last entry of `offsets`, then lists objects
// 1 ... objectCount.
bool WriteXrefSection(OutputFile& out, ObjectOffsets& offsets, int64_t objectCount);
bool WriteTrailer(OutputFile& out, int64_t xrefEntryCount, int64_t xrefOffset,
                  const std::vector<std::string>& extraEntries = {});

}  // namespace jpeg2pdf
