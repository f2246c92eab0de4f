// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextLayerPlanner.h"

namespace jpeg2pdf {

void PlanTextLayer(DocumentPlan& plan)
{
    TextFontNumbers& numbers = plan.text;
    for (int64_t* number : {&numbers.font, &numbers.descendant, &numbers.descriptor, &numbers.program,
                            &numbers.glyphMap, &numbers.toUnicode})
        *number = plan.objects.Allocate();
}

}  // namespace jpeg2pdf
