// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfAPlanner.h"

#include <new>

#include "PdfARules.h"
#include "SrgbProfile.h"

namespace jpeg2pdf {

namespace {

int Components(ImageColour colour)
{
    switch (colour) {
    case ImageColour::Gray:
        return 1;
    case ImageColour::Rgb:
        return 3;
    case ImageColour::Cmyk:
        return 4;
    }
    return 3;
}

}  // namespace

std::vector<EntryReport> PdfAPageRefusals(const DocumentPlan& plan, PdfAPart part)
{
    std::vector<EntryReport> refused;
    for (const PagePlan& page : plan.pages) {
        EntryReport report {page.entry, {}, page.filePage};
        report.problem.refusal
            = PdfARefusal(part, Components(page.colour), page.profileObject != 0, page.pageWidth, page.pageHeight);
        if (report.problem.refusal == EntryRefusal::None && part == PdfAPart::A1b && page.coding.bitsPerComponent > 8)
            report.problem.refusal = EntryRefusal::SixteenBitUnderPdfA1;
        // PDF/A-1b has no soft masks; colour-key masks it has.
        if (report.problem.refusal == EntryRefusal::None && part == PdfAPart::A1b && page.maskObject != 0)
            report.problem.refusal = EntryRefusal::SoftMaskUnderPdfA1;
        if (report.problem.refusal != EntryRefusal::None)
            refused.push_back(report);
    }
    return refused;
}

void PlanPdfA(DocumentPlan& plan, PdfAPart part)
{
    PdfAPlan& pdfa = plan.pdfa;
    pdfa.outputProfile = SrgbProfileVersion2();
    if (pdfa.outputProfile.empty())
        throw std::bad_alloc();
    pdfa.part = part;
    plan.RequireVersion(PdfAVersionMinor(part));
    plan.binaryComment = true;
    plan.eolBeforeEndstream = true;
    pdfa.metadata = plan.objects.Allocate();
    pdfa.intent = plan.objects.Allocate();
    pdfa.profile = plan.objects.Allocate();
}

}  // namespace jpeg2pdf
