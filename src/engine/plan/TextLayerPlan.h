// SPDX-License-Identifier: GPL-2.0-or-later
// The invisible text layer in a document plan: each page's words are taken from the source as
// the page is written and set under its image through the plan that places the image, and the
// font they are shown in follows the last page.
#pragma once

#include "PageText.h"
#include "PagePlan.h"

namespace jpeg2pdf {

// Numbers the font's objects from plan.objects and sets the plan's underlay and text font; the
// underlay calls source.Take for each page in list order (the caller calls Begin first). A page
// without words names no font.
void AddTextLayer(DocumentPlan& plan, PageTextSource& source);

}  // namespace jpeg2pdf
