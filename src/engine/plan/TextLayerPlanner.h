// SPDX-License-Identifier: GPL-2.0-or-later
// The invisible text layer in a document plan: the numbers of the font its words are shown in.
// The words themselves are taken page by page as the pages are written.
#pragma once

#include "PagePlan.h"

namespace jpeg2pdf {

// Numbers the text layer's six font objects from plan.objects (plan.text).
void PlanTextLayer(DocumentPlan& plan);

}  // namespace jpeg2pdf
