// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the TIFF probe through a real file, as the export engine meets them:
// every input ends in an outcome, without a message on the terminal; each page taken has a size,
// and ranges inside the file; the verdict never depends on whether density, profile and orientation
// were asked for; and each page's directory read again gives the coding the probe gave, or fails.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "TiffPages.h"
#include "ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using jpeg2pdf::EntryRefusal;
    int fd = -1;
    const std::string& path = ScratchPath(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    jpeg2pdf::TiffProbeOutcome plain, full;
    jpeg2pdf::ProbeTiffFile(path, {.acceptGray = true}, plain);
    jpeg2pdf::ProbeTiffFile(path, {.orientation = true, .density = true, .profile = true, .acceptGray = true,
                                   .acceptTiff = true}, full);
    if (plain.problem.refusal != full.problem.refusal || plain.pages.size() != full.pages.size())
        std::abort();
    jpeg2pdf::TiffFile file;
    for (size_t i = 0; i < full.pages.size(); ++i) {
        const jpeg2pdf::ProbeOutcome& page = full.pages[i];
        if ((page.problem.refusal == EntryRefusal::None) != (plain.pages[i].problem.refusal == EntryRefusal::None))
            std::abort();
        if (page.problem.refusal != EntryRefusal::None)
            continue;
        const jpeg2pdf::ImageCoding& coding = page.coding;
        for (const jpeg2pdf::FileRange& range : coding.ranges) {
            if (range.offset < 0 || range.length <= 0 || range.offset + range.length > int64_t(size))
                std::abort();
        }
        // Copied data lies in one range; data decoded as it is written has none.
        const bool decoded = coding.kind == jpeg2pdf::ImageCodingKind::TiffFaxRecoded
            || coding.kind == jpeg2pdf::ImageCodingKind::Pixels;
        if (coding.ranges.size() != (decoded ? 0u : 1u) || page.info.Width <= 0 || page.info.Height <= 0 || coding.palette.size() > 768
            || coding.palette.size() % 3 != 0 || coding.head.size() > jpeg2pdf::kMostJpegTablesBytes
            || page.orientation < 1 || page.orientation > 8 || (!page.profile.empty() && !page.profileIgnored.empty()))
            std::abort();
        jpeg2pdf::ImageCoding again;
        jpeg2pdf::EntryProblem problem;
        // Read again as the writer reads it: libtiff may find damage only then (a directory reached
        // by its offset rather than along the chain), which fails the writing plainly; a page it
        // reads again must be the page the probe read.
        jpeg2pdf::TiffHandle* tiff = file.Directory(path, coding.directory, problem);
        if (tiff && jpeg2pdf::ReadTiffPageCoding(*tiff, again, problem) && !(again == coding))
            std::abort();
    }
    return 0;
}
