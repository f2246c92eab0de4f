// SPDX-License-Identifier: GPL-2.0-or-later
// Writing a document whose entries have all been validated and planned.
#pragma once

#include <string>
#include <vector>

#include "ExportDetails.h"
#include "FileAccess.h"
#include "PagePlan.h"
#include "PdfObjects.h"

namespace jpeg2pdf {

// Where writing stopped: the entry being copied (-1 when the output itself failed) and, when
// that entry could not be opened again, why.
struct WriteStop {
    int entry = -1;
    EntryProblem reopen;
};

// Writes the whole document as `plan` says into `out`: the window's objects in the window's
// order, then the plan's extra objects, the cross-reference section and the trailer. False at
// the first failure (see out.Failure() and `stop`). Each listed file is open only while its
// bytes are copied; `paths` is indexed by each page's entry.
bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const DocumentPlan& plan,
                   const ExportByteProgress& progress, WriteStop& stop);
// The window's document for pages[i] from paths[i].
bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const std::vector<PageImage>& pages,
                   const ExportByteProgress& progress, WriteStop& stop);

}  // namespace jpeg2pdf
