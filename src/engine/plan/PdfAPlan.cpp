// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfAPlan.h"

#include <new>
#include <string>
#include <utility>

#include "PdfAObjects.h"
#include "PdfARules.h"
#include "PdfObjects.h"
#include "ProducerName.h"
#include "SrgbProfile.h"
#include "XmpPacket.h"

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

bool WriteWholeObject(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::string& body)
{
    return BeginObject(out, offsets, number) && WriteText(out, body) && WriteText(out, "endobj\n");
}

}  // namespace

std::vector<EntryReport> PdfAPageRefusals(const DocumentPlan& plan, PdfAPart part)
{
    std::vector<EntryReport> refused;
    for (const PagePlan& page : plan.pages) {
        EntryReport report {page.entry, {}};
        report.problem.refusal
            = PdfARefusal(part, Components(page.colour), page.profileObject != 0, page.pageWidth, page.pageHeight);
        if (report.problem.refusal != EntryRefusal::None)
            refused.push_back(report);
    }
    return refused;
}

void AddPdfA(DocumentPlan& plan, PdfAPart part, const DocumentInfo& info)
{
    const std::vector<uint8_t> profile = SrgbProfileVersion2();
    if (profile.empty())
        throw std::bad_alloc();
    DocumentExtras& extras = plan.extras;
    extras.RequireVersion(PdfAVersionMinor(part));
    extras.afterHeader += kBinaryCommentLine;
    extras.eolBeforeEndstream = true;

    const int64_t metadata = plan.objects.Allocate();
    const int64_t intent = plan.objects.Allocate();
    const int64_t profileObject = plan.objects.Allocate();
    for (std::string& entry : PdfACatalogEntries(metadata, intent))
        extras.catalogEntries.push_back(std::move(entry));
    const std::vector<std::pair<int64_t, std::string>> objects = {
        {metadata, MetadataStreamObject(XmpPacket(part, info, ProducerName()))},
        {intent, SrgbOutputIntentObject(profileObject)},
        {profileObject, IccProfileStreamObject(profile, 3)},
    };
    extras.objects.push_back([objects](OutputFile& out, ObjectOffsets& offsets, const DocumentExtras&) {
        for (const auto& [number, body] : objects) {
            if (!WriteWholeObject(out, offsets, number, body))
                return false;
        }
        return true;
    });
}

}  // namespace jpeg2pdf
