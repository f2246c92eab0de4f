#include "DocumentWriter.h"

namespace jpeg2pdf {

bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const std::vector<PageImage>& pages,
                   const ExportByteProgress& progress, WriteStop& stop)
{
    const ObjectNumbers numbers {static_cast<int64_t>(pages.size())};
    ObjectOffsets offsets(static_cast<size_t>(numbers.ObjectCount() + 1));

    if (!WriteText(out, "%PDF-1.2\n") || !WriteCatalog(out, offsets) || !WritePageTree(out, offsets, numbers))
        return false;
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageObject(out, offsets, numbers, i, pages[i]))
            return false;
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        InputFile jpeg;
        if (!jpeg.Open(paths[i])) {
            stop.entry = static_cast<int>(i);
            stop.reopen.refusal = jpeg.Failure() == OpenFailure::NotRegularFile ? EntryRefusal::NotRegularFile
                : jpeg.Failure() == OpenFailure::Locked                         ? EntryRefusal::LockedByWriter
                                                                                : EntryRefusal::CannotOpen;
            stop.reopen.systemError = jpeg.SystemError();
            return false;
        }
        if (!WriteImageObject(out, offsets, numbers.Image(i), pages[i].frame, jpeg)) {
            if (out.Failure().inInput)
                stop.entry = static_cast<int>(i);
            return false;
        }
        jpeg.Close();
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount), out.Position());
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WriteOrientedContentObject(out, offsets, numbers.Contents(i), pages[i]))
            return false;
    }
    if (!WriteXrefSection(out, offsets, numbers.ObjectCount()))
        return false;
    return WriteTrailer(out, numbers.ObjectCount() + 1, offsets.back());
}

}  // namespace jpeg2pdf
