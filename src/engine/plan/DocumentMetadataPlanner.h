// SPDX-License-Identifier: GPL-2.0-or-later
// Adds to a document plan what describes the document rather than its pages: the outline, the
// information dictionary and the document ID. With the window's options it adds nothing.
#pragma once

#include <string>
#include <vector>

#include "ExportDetails.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// Plans the outline (options.bookmarks), the information dictionary and the ID (see
// WritesInformation), numbering their objects from plan.objects. `paths` are the list's entries,
// indexed by each page's entry; the date, if any, must be valid (IsValidDocumentDate).
void PlanDocumentMetadata(DocumentPlan& plan, const ExportOptions& options, const std::vector<std::string>& paths);

}  // namespace jpeg2pdf
