// SPDX-License-Identifier: GPL-2.0-or-later
#include "EntryValidation.h"

#include "PdfARules.h"
#include "PngChunks.h"

namespace jpeg2pdf {

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
        if (request.acceptPng && outcome.problem.refusal == EntryRefusal::NotJpeg
            && outcome.problem.kind == PictureKind::Png)
            ProbePngFile(paths[i], request, outcome);
        // A page of zero width or height is not a page any reader can show.
        if (outcome.problem.refusal == EntryRefusal::None && (outcome.info.Width == 0 || outcome.info.Height == 0))
            outcome.problem.refusal = EntryRefusal::ZeroSize;
        if (outcome.problem.refusal != EntryRefusal::None) {
            found.refused.push_back({entry, outcome.problem});
            if (!everyEntry)
                return found;
            continue;
        }
        const int shown = followOrientation ? outcome.orientation : 1;
        ProbedPage page {entry, outcome.info, outcome.components, shown, outcome.density, -1, outcome.orientation,
                         std::move(outcome.coding)};
        if (!outcome.profile.empty() && !PdfACarriesProfile(pdfa, outcome.profile)) {
            found.warnings.emplace_back(entry, PdfAProfileWarning(pdfa, outcome.profile));
            outcome.profile.clear();
        }
        if (!outcome.profile.empty())
            page.profile = found.profiles->Add(outcome.profile, page.components, std::move(outcome.profileDeflated));
        else if (!outcome.profileIgnored.empty())
            found.warnings.emplace_back(entry, std::move(outcome.profileIgnored));
        found.pages.push_back(page);
        found.identities.push_back(outcome.identity);
    }
    return found;
}

}  // namespace jpeg2pdf
