// SPDX-License-Identifier: GPL-2.0-or-later
// The pieces of the PDF file, each written at the output's current position as its plan says.
// Every function returns false as soon as a write fails; what was written before stays in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "InputFile.h"
#include "OutputFile.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// The writer's output and the files it copies from.
using posixfile::InputFile;
using posixfile::OutputFile;

// Entry n - 1 holds where object n begins; the last entry holds where the cross-reference
// section begins.
using ObjectOffsets = std::vector<int64_t>;

// The names under which each page's resources list its image and the text layer's font.
inline constexpr std::string_view kImageResource = "/Im0";
inline constexpr std::string_view kTextFontResource = "/F0";

// A number as the file writes it, without the locale: integral values as integers, others with
// at most four decimals, trailing zeros dropped; never an exponent, never "-0".
std::string PdfNumber(double value);

// The colour space of a PNG's or decoded picture's samples: a device (or ICCBased) space, or for a
// palette an indexed space over it with the palette's bytes in hex.
std::string ImageColourSpace(const PagePlan& plan);
// "/Mask [...]" and an end-of-line for a colour-key mask; empty without one.
std::string KeyMaskEntry(const ImageCoding& coding);

bool WriteText(OutputFile& out, std::string_view text);
bool WriteNumber(OutputFile& out, int64_t number);
bool WriteReal(OutputFile& out, double value);
// Remembers where object `number` begins and writes "number 0 obj\n"; fails with EFBIG past the
// offsets a cross-reference entry can hold.
bool BeginObject(OutputFile& out, ObjectOffsets& offsets, int64_t number);
// Ends a stream's data and the object: "endstream\nendobj\n", after an end-of-line on request.
bool EndStreamObject(OutputFile& out, bool eolBeforeEndstream);

// "%PDF-1.<versionMinor>" and, for a binary document, the comment line of bytes above 127.
bool WriteHeader(OutputFile& out, int versionMinor, bool binaryComment);
bool WriteCatalog(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& extraEntries = {});
bool WritePageTree(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers);
// What a page object may carry beyond the plain layout's: the text layer's font in its resources, and
// a turn readers show it with.
struct PageObjectExtras {
    int64_t textFont = 0;  // 0: none
    int quarterTurns = 0;  // clockwise; 0: no /Rotate
};
bool WritePageObject(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers, int64_t page,
                     const PagePlan& plan, const PageObjectExtras& extras = {});
// The image object up to and including the end of its stream, the file `jpeg` as the stream's
// data as `data` says; a stripped copy is followed by the page's length object.
bool WriteImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                      const InputFile& jpeg, ImageData data, bool eolBeforeEndstream);
// The content stream that draws the image as the plan places it (and clips it), after
// `underlay` (whole operator lines).
// With `turn` set, the image is drawn turned by that matrix and clipped to the page.
bool WriteContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                        bool eolBeforeEndstream, std::string_view underlay = {},
                        const std::array<double, 6>* turn = nullptr);
// Records where the section begins in the last entry of `offsets`, then lists objects
// 1 ... objectCount.
bool WriteXrefSection(OutputFile& out, ObjectOffsets& offsets, int64_t objectCount);
bool WriteTrailer(OutputFile& out, int64_t xrefEntryCount, int64_t xrefOffset,
                  const std::vector<std::string>& extraEntries = {});

}  // namespace jpeg2pdf
