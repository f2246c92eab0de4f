#include <climits>
#include <vector>

#include "FileAccess.h"
#include "JpegFrameProbe.h"
#include "PdfObjects.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

namespace {

constexpr int kAllEntriesUsable = -1;
// Object numbers and page counts must stay within int for the progress report.
constexpr size_t kMostPages = (INT_MAX - 3) / 3;

// Probes every entry in list order and stops at the first one that cannot become a page.
// Returns that entry's index, or kAllEntriesUsable with one record and identity per entry.
int ValidateEntries(const std::vector<std::string>& paths, std::vector<JpegFrameInfo>& images,
                    std::vector<FileIdentity>& identities)
{
    images.reserve(paths.size());
    identities.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        JpegFrameInfo info{};
        FileIdentity identity;
        // A page of zero width or height is not a page any reader can show.
        if (paths[i].empty() || !ProbeJpegFile(paths[i], info, identity) || info.Width == 0 || info.Height == 0)
            return static_cast<int>(i);
        images.push_back(info);
        identities.push_back(identity);
    }
    return kAllEntriesUsable;
}

// Writes the whole document; false at the first failure. Each listed file is open only while
// its bytes are copied.
bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const std::vector<JpegFrameInfo>& images,
                   const ExportProgress& progress)
{
    const ObjectNumbers numbers{static_cast<int64_t>(images.size())};
    ObjectOffsets offsets(static_cast<size_t>(numbers.ObjectCount() + 1));

    if (!WriteText(out, "%PDF-1.2\n") || !WriteCatalog(out, offsets) || !WritePageTree(out, offsets, numbers))
        return false;
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageObject(out, offsets, numbers, i, images[i]))
            return false;
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        InputFile jpeg;
        if (!jpeg.Open(paths[i]) || !WriteImageObject(out, offsets, numbers.Image(i), images[i], jpeg))
            return false;
        jpeg.Close();
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount));
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageContentObject(out, offsets, numbers.Contents(i), images[i].Width, images[i].Height))
            return false;
    }
    if (!WriteXrefSection(out, offsets, numbers.ObjectCount()))
        return false;
    return WriteTrailer(out, numbers.ObjectCount() + 1, offsets.back());
}

}  // namespace

int ConvertJpegListToPdf(const std::vector<std::string>& paths, const std::string& outputPath,
                         const ExportProgress& progress) noexcept
{
    if (outputPath.empty())
        return kExportCannotCreate;

    std::vector<JpegFrameInfo> images;
    std::vector<FileIdentity> identities;
    OutputFile out;
    try {
        const int failingEntry = ValidateEntries(paths, images, identities);
        if (failingEntry != kAllEntriesUsable)
            return failingEntry;
        // A document without pages would open on a page that does not exist.
        if (paths.empty() || paths.size() > kMostPages)
            return kExportCannotCreate;
        // Writing over one of the inputs would empty it before it is copied.
        if (out.Open(outputPath, identities) != OutputFile::OpenResult::Opened)
            return kExportCannotCreate;
    } catch (...) {
        return kExportCannotCreate;  // out of memory before anything was touched
    }

    try {
        const bool written = WriteDocument(out, paths, images, progress);
        const bool closed = out.Close();
        return written && closed ? kExportSaved : kExportFailedWriting;
    } catch (...) {
        // Out of memory, or the progress report threw; the output is closed as it stands.
        out.Close();
        return kExportFailedWriting;
    }
}

}  // namespace jpeg2pdf
