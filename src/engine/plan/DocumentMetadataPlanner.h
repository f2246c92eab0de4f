// SPDX-License-Identifier: GPL-2.0-or-later
// Adds to a document plan what describes the document rather than its pages: the outline, the
// information dictionary and the document ID. With the plain layout's options it adds nothing.
#pragma once

#include <string>
#include <vector>

#include "DocumentInfo.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// One outline entry per page, titled with its file's name without the folder (`paths` are the
// list's entries, indexed by each page's entry); numbered from plan.objects.
void PlanOutline(DocumentPlan& plan, const std::vector<std::string>& paths);

// The information dictionary and the trailer's ID, when `info` gives any field or the document
// keeps to a PDF/A part (which asks for both): a document described for archiving is one that
// gets identified. Under a part, the text is what the XMP packet can hold as well
// (XmlRepresentableInfo). Numbered from plan.objects; nothing otherwise.
void PlanInformation(DocumentPlan& plan, const DocumentInfo& info, PdfAPart part);

}  // namespace jpeg2pdf
