// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentWriter.h"

#include "ContentDigest.h"
#include "PagePlanner.h"

namespace jpeg2pdf {

bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const DocumentPlan& plan,
                   const ExportByteProgress& progress, WriteStop& stop)
{
    const ObjectNumbers numbers = plan.Numbers();
    const DocumentExtras& extras = plan.extras;
    ObjectOffsets offsets(static_cast<size_t>(plan.objects.Last() + 1));
    if (extras.documentId)
        out.StartContentDigest();

    if (!WriteHeader(out, extras) || !WriteCatalog(out, offsets, extras.catalogEntries)
        || !WritePageTree(out, offsets, numbers))
        return false;
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageObject(out, offsets, numbers, i, plan.pages[i]))
            return false;
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        const PagePlan& page = plan.pages[i];
        InputFile jpeg;
        if (!jpeg.Open(paths.at(static_cast<size_t>(page.entry)))) {
            stop.entry = page.entry;
            stop.reopen.refusal = jpeg.Failure() == OpenFailure::NotRegularFile ? EntryRefusal::NotRegularFile
                : jpeg.Failure() == OpenFailure::Locked                         ? EntryRefusal::LockedByWriter
                                                                                : EntryRefusal::CannotOpen;
            stop.reopen.systemError = jpeg.SystemError();
            return false;
        }
        if (!WriteImageObject(out, offsets, numbers.Image(i), page, jpeg, extras)) {
            if (out.Failure().inInput)
                stop.entry = page.entry;
            return false;
        }
        jpeg.Close();
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount), out.Position());
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WriteContentObject(out, offsets, numbers.Contents(i), plan.pages[i], extras.eolBeforeEndstream))
            return false;
    }
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
