// SPDX-License-Identifier: GPL-2.0-or-later
// Everything a document holds besides its pages, planned in one place after the pages, in the
// order its objects are numbered and written.
#pragma once

#include <string>
#include <vector>

#include "DocumentInfo.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// What a document asks for beyond its pages.
struct DocumentRequest {
    bool bookmarks = false;
    DocumentInfo info;  // its date, if any, valid
    PdfAPart pdfa = PdfAPart::None;
    bool stripMetadata = false;
    bool textLayer = false;
};

// Adds to `plan` (made by PlanPages), numbering from plan.objects in this order: the outline, the
// information dictionary and ID, the PDF/A part's objects, the length object of each stripped
// image, the text layer's font. `paths` are the list's entries, indexed by each page's entry.
// Throws std::bad_alloc (also when the colour library fails to make the sRGB profile).
void PlanDocumentParts(DocumentPlan& plan, const DocumentRequest& request, const std::vector<std::string>& paths);

}  // namespace jpeg2pdf
