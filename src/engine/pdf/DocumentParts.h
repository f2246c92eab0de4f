// SPDX-License-Identifier: GPL-2.0-or-later
// What a document holds besides its pages, written as its plan says: the catalog's and the
// trailer's extra entries, and the extra objects after the last contents object.
#pragma once

#include <string>
#include <vector>

#include "PagePlan.h"
#include "PdfObjects.h"
#include "TextCodes.h"

namespace jpeg2pdf {

// The catalog's entries beyond the plain layout's, one a line without its end: the outline's,
// then the PDF/A part's.
std::vector<std::string> CatalogEntries(const DocumentPlan& plan);

// The trailer's entries beyond the plain layout's, before any /ID: the information dictionary's.
std::vector<std::string> TrailerEntries(const DocumentPlan& plan);

// The extra objects in the plan's order: the colour profiles, the outline, the information
// dictionary, the PDF/A part's metadata, output intent and its profile, and the text layer's font
// with the codes the pages used. False when a write failed.
bool WriteDocumentParts(OutputFile& out, ObjectOffsets& offsets, const DocumentPlan& plan, const TextCodes& codes);

}  // namespace jpeg2pdf
