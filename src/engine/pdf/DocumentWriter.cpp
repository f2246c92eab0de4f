// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentWriter.h"

#include "ContentDigest.h"
#include "PagePlanner.h"

namespace jpeg2pdf {

namespace {

// Copies page `i`'s file into its image object; false with `stop` set when the file cannot be
// opened again or copied whole.
bool WritePageImage(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& paths,
                    const DocumentPlan& plan, int64_t i, WriteStop& stop)
{
    const PagePlan& page = plan.pages[static_cast<size_t>(i)];
    InputFile jpeg;
    if (!jpeg.Open(paths.at(static_cast<size_t>(page.entry)))) {
        stop.entry = page.entry;
        stop.reopen.refusal = jpeg.Failure() == OpenFailure::NotRegularFile ? EntryRefusal::NotRegularFile
            : jpeg.Failure() == OpenFailure::Locked                         ? EntryRefusal::LockedByWriter
                                                                            : EntryRefusal::CannotOpen;
        stop.reopen.systemError = jpeg.SystemError();
        return false;
    }
    if (!WriteImageObject(out, offsets, plan.Numbers().Image(i), page, jpeg, plan.extras)) {
        if (out.Failure().inInput)
            stop.entry = page.entry;
        return false;
    }
    return true;
}

// The window's order: every page object, every image, every contents object.
bool WritePagesInWindowOrder(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& paths,
                             const DocumentPlan& plan, const ExportByteProgress& progress, WriteStop& stop)
{
    const ObjectNumbers numbers = plan.Numbers();
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageObject(out, offsets, numbers, i, plan.pages[i]))
            return false;
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageImage(out, offsets, paths, plan, i, stop))
            return false;
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount), out.Position());
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WriteContentObject(out, offsets, numbers.Contents(i), plan.pages[i], plan.extras.eolBeforeEndstream))
            return false;
    }
    return true;
}

// Page by page with an underlay: the image, the contents with the underlay first, then the page
// object, which only now knows its turn and whether it shows text in the text font. Numbers stay the window's; only the order in the file
// differs.
bool WritePagesWithUnderlay(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& paths,
                            const DocumentPlan& plan, const ExportByteProgress& progress, WriteStop& stop)
{
    const ObjectNumbers numbers = plan.Numbers();
    const DocumentExtras& extras = plan.extras;
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        const PagePlan& page = plan.pages[static_cast<size_t>(i)];
        if (!WritePageImage(out, offsets, paths, plan, i, stop))
            return false;
        const PageUnderlay underlay = extras.underlay(i, page);
        if (!WriteContentObject(out, offsets, numbers.Contents(i), page, extras.eolBeforeEndstream, underlay.content)
            || !WritePageObject(out, offsets, numbers, i, page,
                                {underlay.content.empty() ? 0 : extras.textFont, underlay.quarterTurns}))
            return false;
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount), out.Position());
    }
    return true;
}

}  // namespace

bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const DocumentPlan& plan,
                   const ExportByteProgress& progress, WriteStop& stop)
{
    const DocumentExtras& extras = plan.extras;
    ObjectOffsets offsets(static_cast<size_t>(plan.objects.Last() + 1));
    if (extras.documentId)
        out.StartContentDigest();

    if (!WriteHeader(out, extras) || !WriteCatalog(out, offsets, extras.catalogEntries)
        || !WritePageTree(out, offsets, plan.Numbers()))
        return false;
    const bool pagesWritten = extras.underlay ? WritePagesWithUnderlay(out, offsets, paths, plan, progress, stop)
                                              : WritePagesInWindowOrder(out, offsets, paths, plan, progress, stop);
    if (!pagesWritten)
        return false;
    for (const ObjectWriter& writeObjects : extras.objects) {
        if (!writeObjects(out, offsets, extras))
            return false;
    }
    if (!WriteXrefSection(out, offsets, plan.objects.Last()))
        return false;
    if (!extras.documentId)
        return WriteTrailer(out, plan.objects.Last() + 1, offsets.back(), extras.trailerEntries);
    std::vector<std::string> trailerEntries = extras.trailerEntries;
    trailerEntries.push_back(DocumentIdEntry(out.ContentHash()));
    return WriteTrailer(out, plan.objects.Last() + 1, offsets.back(), trailerEntries);
}

bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const std::vector<PageImage>& pages,
                   const ExportByteProgress& progress, WriteStop& stop)
{
    return WriteDocument(out, paths, PlanDocument(WindowPages(pages), PageLayout {}), progress, stop);
}

}  // namespace jpeg2pdf
