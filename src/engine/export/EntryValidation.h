// SPDX-License-Identifier: GPL-2.0-or-later
// Every list entry read before anything is planned: which can become pages, which cannot and why.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DocumentInfo.h"
#include "EntryProblem.h"
#include "InputFile.h"
#include "JpegFrameProbe.h"
#include "PagePlanner.h"
#include "ProfileTable.h"

namespace jpeg2pdf {

// What validation found: one record per usable entry, each distinct profile once, the entries
// refused, and the warnings to give once the document is going to be written.
struct ValidatedEntries {
    std::vector<ProbedPage> pages;
    std::vector<posixfile::FileIdentity> identities;  // one per page, for the output's check
    std::shared_ptr<ProfileTable> profiles = std::make_shared<ProfileTable>();
    std::vector<EntryReport> refused;  // in list order
    std::vector<std::pair<int, std::string>> warnings;
};

// Probes every entry in list order as `request` says. Stops at the first one that cannot become
// a page unless `everyEntry`, which goes on and lists each. A profile's bytes are kept only in
// `profiles`, once however many entries carry them; under a PDF/A part only the profiles it may
// carry (a profile left out is warned about). Pages show their pictures as their files' Exif
// orientations say only with `followOrientation`; the orientation read is kept either way.
ValidatedEntries ValidateEntries(const std::vector<std::string>& paths, const ProbeRequest& request, bool everyEntry,
                                 PdfAPart pdfa, bool followOrientation);

}  // namespace jpeg2pdf
