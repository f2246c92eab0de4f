// SPDX-License-Identifier: GPL-2.0-or-later
// What a PDF/A part asks of a document's pages and pictures: the page size range, which
// embedded colour profiles it may carry, and which pictures it cannot show at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "DocumentInfo.h"
#include "EntryProblem.h"

namespace jpeg2pdf {

// The minor number of the PDF 1.x version the part is based on: 4 for part 1, 7 for part 2.
int PdfAVersionMinor(PdfAPart part);

// Part 1 limits an array to 8,191 elements, and the page tree lists every page in one.
bool PdfAPageCountAllowed(PdfAPart part, size_t pageCount);

// The most bytes a text string of the document (its information, say) may hold under `part`:
// 65,535 for PDF/A-1b, 32,767 for PDF/A-2b; 0 without a part, which sets no limit.
size_t PdfAMostTextStringBytes(PdfAPart part);

// Each side of a page, in default user units, lies within 3 to 14,400.
bool PdfAPageSizeAllowed(double width, double height);

// The version of an ICC profile as "4.2" (see ReadIccVersion); empty when it states none.
std::string IccVersionText(const std::vector<uint8_t>& profile);

// Whether the part may carry the picture's own profile: 2.0 to 2.4 for part 1 (what its PDF
// version reads), 2.x to 4.x for part 2. Without the part (None) every profile is carried.
bool PdfACarriesProfile(PdfAPart part, const std::vector<uint8_t>& profile);

// Why a picture cannot be a page of a document in this part, or None. `profileCarried`: its
// own profile goes with it; `pageWidth`, `pageHeight`: the page box in default user units.
EntryRefusal PdfARefusal(PdfAPart part, int components, bool profileCarried, double pageWidth, double pageHeight);

// One line for the user, without the file name, when a picture's profile is left out under the
// part: the picture keeps its device colours under the output intent. Empty when it is carried.
std::string PdfAProfileWarning(PdfAPart part, const std::vector<uint8_t>& profile);

}  // namespace jpeg2pdf
