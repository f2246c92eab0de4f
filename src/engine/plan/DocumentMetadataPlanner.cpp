// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentMetadataPlanner.h"

#include "DocumentInformation.h"
#include "DocumentOutline.h"
#include "PdfObjects.h"

namespace jpeg2pdf {

namespace {

bool WriteDictionaryObject(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::string& dictionary)
{
    return BeginObject(out, offsets, number) && WriteText(out, dictionary) && WriteText(out, "endobj\n");
}

void PlanOutline(DocumentPlan& plan, const std::vector<std::string>& paths)
{
    const ObjectNumbers pageNumbers = plan.Numbers();
    const OutlineNumbers numbers {plan.objects.Allocate(), pageNumbers.pageCount};
    for (int64_t i = 0; i < numbers.entryCount; ++i)
        plan.objects.Allocate();
    for (std::string& entry : OutlineCatalogEntries(numbers))
        plan.extras.catalogEntries.push_back(std::move(entry));

    std::vector<std::string> titledBy;  // each page's path, in page order
    titledBy.reserve(plan.pages.size());
    for (const PagePlan& page : plan.pages)
        titledBy.push_back(paths.at(static_cast<size_t>(page.entry)));
    plan.extras.objects.emplace_back([numbers, pageNumbers, titledBy = std::move(titledBy)](
                                         OutputFile& out, ObjectOffsets& offsets, const DocumentExtras&) {
        if (!WriteDictionaryObject(out, offsets, numbers.root, OutlineRoot(numbers)))
            return false;
        for (int64_t i = 0; i < numbers.entryCount; ++i) {
            const std::string item = OutlineItem(numbers, i, pageNumbers.Page(i), titledBy[static_cast<size_t>(i)]);
            if (!WriteDictionaryObject(out, offsets, numbers.Item(i), item))
                return false;
        }
        return true;
    });
}

void PlanInformation(DocumentPlan& plan, const DocumentInfo& info)
{
    const int64_t number = plan.objects.Allocate();
    plan.extras.trailerEntries.push_back("/Info " + PdfNumber(static_cast<double>(number)) + " 0 R");
    plan.extras.objects.emplace_back(
        [number, dictionary = InformationDictionary(info)](OutputFile& out, ObjectOffsets& offsets,
                                                           const DocumentExtras&) {
            return WriteDictionaryObject(out, offsets, number, dictionary);
        });
}

}  // namespace

void PlanDocumentMetadata(DocumentPlan& plan, const ExportOptions& options, const std::vector<std::string>& paths)
{
    if (options.bookmarks && !plan.pages.empty())
        PlanOutline(plan, paths);
    if (WritesInformation(options))
        PlanInformation(plan, options.info);
    if (WritesDocumentId(options))
        plan.extras.documentId = true;
}

}  // namespace jpeg2pdf
