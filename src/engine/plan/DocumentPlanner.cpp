// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentPlanner.h"

#include "DocumentMetadataPlanner.h"
#include "PdfAPlanner.h"
#include "TextLayerPlanner.h"

namespace jpeg2pdf {

namespace {

// Each stripped copy's size is known only once it is written: its /Length is an object of its
// own, written right after the image.
void PlanStrippedImages(DocumentPlan& plan)
{
    plan.imageData = ImageData::Stripped;
    for (PagePlan& page : plan.pages) {
        // Decoded pictures have theirs already.
        if (page.lengthObject == 0)
            page.lengthObject = plan.objects.Allocate();
    }
}

}  // namespace

void PlanDocumentParts(DocumentPlan& plan, const DocumentRequest& request, const std::vector<std::string>& paths)
{
    if (request.bookmarks)
        PlanOutline(plan, paths);
    PlanInformation(plan, request.info, request.pdfa);
    if (request.pdfa != PdfAPart::None)
        PlanPdfA(plan, request.pdfa);
    if (request.stripMetadata)
        PlanStrippedImages(plan);
    if (request.textLayer)
        PlanTextLayer(plan);
}

}  // namespace jpeg2pdf
