// SPDX-License-Identifier: GPL-2.0-or-later
#include "EntryValidation.h"

#include "PdfARules.h"
#include "PngChunks.h"
#include "TiffPages.h"

namespace jpeg2pdf {

namespace {

// Keeps one usable page of entry `entry` (its `page` of several, or -1), or reports it refused.
// False when the page is refused.
bool TakePage(ValidatedEntries& found, int entry, int page, ProbeOutcome& outcome, PdfAPart pdfa,
              bool followOrientation)
{
    // A page of zero width or height is not a page any reader can show.
    if (outcome.problem.refusal == EntryRefusal::None && (outcome.info.Width == 0 || outcome.info.Height == 0))
        outcome.problem.refusal = EntryRefusal::ZeroSize;
    if (outcome.problem.refusal != EntryRefusal::None) {
        found.refused.push_back({entry, outcome.problem, page});
        return false;
    }
    const int shown = followOrientation ? outcome.orientation : 1;
    ProbedPage probed {entry,  outcome.info, outcome.components,         shown, outcome.density, -1,
                       outcome.orientation, std::move(outcome.coding), page};
    if (!outcome.profile.empty() && !PdfACarriesProfile(pdfa, outcome.profile)) {
        found.warnings.emplace_back(entry, PdfAProfileWarning(pdfa, outcome.profile));
        outcome.profile.clear();
    }
    if (!outcome.profile.empty())
        probed.profile = found.profiles->Add(outcome.profile, probed.components, std::move(outcome.profileDeflated));
    else if (!outcome.profileIgnored.empty())
        found.warnings.emplace_back(entry, std::move(outcome.profileIgnored));
    found.pages.push_back(std::move(probed));
    found.identities.push_back(outcome.identity);
    return true;
}

}  // namespace

ValidatedEntries ValidateEntries(const std::vector<std::string>& paths, const ProbeRequest& request, bool everyEntry,
                                 PdfAPart pdfa, bool followOrientation)
{
    ValidatedEntries found;
    found.pages.reserve(paths.size());
    found.identities.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        const int entry = static_cast<int>(i);
        ProbeOutcome outcome;
        if (paths[i].empty())
            outcome.problem.refusal = EntryRefusal::EmptyPath;
        else
            ProbeJpegFile(paths[i], request, outcome);
        const bool other = outcome.problem.refusal == EntryRefusal::NotJpeg;
        if (request.acceptPng && other && outcome.problem.kind == PictureKind::Png)
            ProbePngFile(paths[i], request, outcome);
        if (request.acceptTiff && other && outcome.problem.kind == PictureKind::Tiff) {
            // Every page of the file, each refused on its own; a file of one page is named alone.
            TiffProbeOutcome tiff;
            ProbeTiffFile(paths[i], request, tiff);
            if (tiff.problem.refusal != EntryRefusal::None) {
                found.refused.push_back({entry, tiff.problem});
                if (!everyEntry)
                    return found;
                continue;
            }
            const bool several = tiff.pages.size() > 1;
            bool taken = true;
            for (size_t page = 0; page < tiff.pages.size(); ++page) {
                taken = TakePage(found, entry, several ? static_cast<int>(page) : -1, tiff.pages[page], pdfa,
                                 followOrientation)
                    && taken;
                if (!taken && !everyEntry)
                    return found;
            }
            continue;
        }
        if (!TakePage(found, entry, -1, outcome, pdfa, followOrientation) && !everyEntry)
            return found;
    }
    return found;
}

}  // namespace jpeg2pdf
