// SPDX-License-Identifier: GPL-2.0-or-later
// A document plan made to conform to a PDF/A part: pages it cannot hold are found before
// writing, and what every such document carries is added to the plan.
#pragma once

#include <vector>

#include "EntryProblem.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// Every planned page the part cannot hold, in plan order, with why (PdfARefusal).
std::vector<EntryReport> PdfAPageRefusals(const DocumentPlan& plan, PdfAPart part);

// Adds what the part asks of the document: its header version and binary comment, an end-of-line
// before every endstream, the XMP packet and the sRGB output intent with its profile, each
// numbered from plan.objects. Throws std::bad_alloc, also when the colour library fails.
void PlanPdfA(DocumentPlan& plan, PdfAPart part);

}  // namespace jpeg2pdf
