// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextLayerPlan.h"

#include <memory>

#include "ShownPixelSpace.h"
#include "TextCodes.h"
#include "TextFontObjects.h"
#include "TextLayerContent.h"

namespace jpeg2pdf {

void AddTextLayer(DocumentPlan& plan, PageTextSource& source)
{
    // Filled page by page, read once after the last: the codes every page used.
    const auto codes = std::make_shared<TextCodes>();
    const TextFontNumbers numbers = AllocateTextFont(plan.objects);
    DocumentExtras& extras = plan.extras;
    extras.textFont = numbers.font;
    extras.underlay = [&source, codes](int64_t index, const PagePlan& page) {
        const PageText text = source.Take(static_cast<int>(index));
        return PageUnderlay {
            TextLayerContent(text, ShownPixelsToPage(page), page.clipped ? &page.clip : nullptr, *codes), text.rotate};
    };
    extras.objects.push_back([numbers, codes](OutputFile& out, ObjectOffsets& offsets, const DocumentExtras& all) {
        return WriteTextFont(out, offsets, numbers, *codes, all.eolBeforeEndstream);
    });
}

}  // namespace jpeg2pdf
