// SPDX-License-Identifier: GPL-2.0-or-later
// Writing a document whose entries have all been validated and planned.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "EntryProblem.h"
#include "PagePlan.h"
#include "PageText.h"
#include "PixelRows.h"
#include "PdfObjects.h"

namespace jpeg2pdf {

// Where writing stopped: the entry being copied (-1 when the output itself failed) and, when
// that entry could not be opened again, why.
struct WriteStop {
    int entry = -1;
    EntryProblem reopen;
};

// Called after each page's image has been written, with the bytes of the document so far.
using PageProgress = std::function<void(int pagesWritten, int pageCount, int64_t bytesWritten)>;

// Writes the whole document as `plan` says into `out`: the plain layout's objects in its order,
// then the plan's extra objects, the cross-reference section and the trailer. False at the first
// failure (see out.Failure() and `stop`). Each listed file is open only while its bytes are
// copied; `paths` is indexed by each page's entry. With a text layer in the plan, page i's words
// are `text`'s Take(i), taken as that page is written (a null source gives pages without words);
// without one, a source's Take(i) may still turn page i (PageText::turn) as its contents are written.
// Pages of decoded pixels are decoded from `pixels` (without one, they fail as PixelsDamaged).
bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const DocumentPlan& plan,
                   PageTextSource* text, const PageProgress& progress, WriteStop& stop,
                   PixelSource* pixels = nullptr);

}  // namespace jpeg2pdf
