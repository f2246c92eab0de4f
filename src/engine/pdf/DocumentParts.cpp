// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentParts.h"

#include <utility>

#include "DocumentInformation.h"
#include "DocumentOutline.h"
#include "PdfAObjects.h"
#include "ProducerName.h"
#include "ProfileObject.h"
#include "TextFontObjects.h"
#include "XmpPacket.h"

namespace jpeg2pdf {

namespace {

// "n 0 obj", the body as it stands, "endobj".
bool WriteWholeObject(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::string& body)
{
    return BeginObject(out, offsets, number) && WriteText(out, body) && WriteText(out, "endobj\n");
}

bool WriteProfiles(OutputFile& out, ObjectOffsets& offsets, const DocumentPlan& plan)
{
    const ProfileObjects& profiles = plan.profiles;
    for (size_t i = 0; i < profiles.numbers.size(); ++i) {
        const ProfileTable::Profile& profile = profiles.table->At(i);
        if (!WriteProfileObject(out, offsets, profiles.numbers[i], profile.bytes, profile.components,
                                plan.eolBeforeEndstream, profile.deflated))
            return false;
    }
    return true;
}

bool WriteOutline(OutputFile& out, ObjectOffsets& offsets, const DocumentPlan& plan)
{
    const OutlinePlan& outline = plan.outline;
    if (outline.root == 0)
        return true;
    if (!WriteWholeObject(out, offsets, outline.root, OutlineRoot(outline)))
        return false;
    const ObjectNumbers pages = plan.Numbers();
    for (int64_t i = 0; i < outline.ItemCount(); ++i) {
        if (!WriteWholeObject(out, offsets, outline.Item(i), OutlineItem(outline, i, pages.Page(outline.firstPages.at(static_cast<size_t>(i))))))
            return false;
    }
    return true;
}

bool WritePdfAObjects(OutputFile& out, ObjectOffsets& offsets, const DocumentPlan& plan)
{
    const PdfAPlan& pdfa = plan.pdfa;
    if (pdfa.part == PdfAPart::None)
        return true;
    return WriteWholeObject(out, offsets, pdfa.metadata,
                            MetadataStreamObject(XmpPacket(pdfa.part, plan.information.info, ProducerName())))
           && WriteWholeObject(out, offsets, pdfa.intent, SrgbOutputIntentObject(pdfa.profile))
           && WriteWholeObject(out, offsets, pdfa.profile, IccProfileStreamObject(pdfa.outputProfile, 3));
}

}  // namespace

std::vector<std::string> CatalogEntries(const DocumentPlan& plan)
{
    std::vector<std::string> entries;
    if (plan.outline.root != 0)
        entries = OutlineCatalogEntries(plan.outline);
    if (plan.pdfa.part != PdfAPart::None) {
        for (std::string& entry : PdfACatalogEntries(plan.pdfa.metadata, plan.pdfa.intent))
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> TrailerEntries(const DocumentPlan& plan)
{
    if (plan.information.object == 0)
        return {};
    return {"/Info " + PdfNumber(static_cast<double>(plan.information.object)) + " 0 R"};
}

bool WriteDocumentParts(OutputFile& out, ObjectOffsets& offsets, const DocumentPlan& plan, const TextCodes& codes)
{
    const InformationPlan& information = plan.information;
    return WriteProfiles(out, offsets, plan) && WriteOutline(out, offsets, plan)
           && (information.object == 0
               || WriteWholeObject(out, offsets, information.object, InformationDictionary(information.info)))
           && WritePdfAObjects(out, offsets, plan)
           && (plan.text.font == 0 || WriteTextFont(out, offsets, plan.text, codes, plan.eolBeforeEndstream));
}

}  // namespace jpeg2pdf
