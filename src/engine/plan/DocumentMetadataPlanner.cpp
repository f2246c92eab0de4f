// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentMetadataPlanner.h"

#include "FileNameText.h"
#include "XmlRepresentable.h"

namespace jpeg2pdf {

namespace {

// Readers open the outline panel with the document only for a list short enough to take in at a
// glance; a longer one stays a click away.
constexpr int64_t kMostEntriesShownOpen = 20;

bool DescribesDocument(const DocumentInfo& info, PdfAPart part)
{
    return !info.title.empty() || !info.author.empty() || !info.subject.empty() || !info.keywords.empty()
           || info.hasDate || part != PdfAPart::None;
}

}  // namespace

void PlanOutline(DocumentPlan& plan, const std::vector<std::string>& paths)
{
    if (plan.pages.empty())
        return;
    OutlinePlan& outline = plan.outline;
    outline.root = plan.objects.Allocate();
    outline.titles.reserve(plan.pages.size());
    for (size_t i = 0; i < plan.pages.size(); ++i) {
        const PagePlan& page = plan.pages[i];
        if (i > 0 && plan.pages[i - 1].entry == page.entry)
            continue;
        plan.objects.Allocate();
        outline.titles.emplace_back(NameWithoutFolder(paths.at(static_cast<size_t>(page.entry))));
        outline.firstPages.push_back(static_cast<int64_t>(i));
    }
    outline.shownOpen = outline.ItemCount() <= kMostEntriesShownOpen;
}

void PlanInformation(DocumentPlan& plan, const DocumentInfo& info, PdfAPart part)
{
    if (!DescribesDocument(info, part))
        return;
    plan.information.object = plan.objects.Allocate();
    plan.information.info = part == PdfAPart::None ? info : XmlRepresentableInfo(info);
}

}  // namespace jpeg2pdf
