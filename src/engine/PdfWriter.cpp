// SPDX-License-Identifier: GPL-2.0-or-later
#include <algorithm>
#include <climits>
#include <memory>
#include <utility>
#include <vector>

#include "DocumentDateText.h"
#include "DocumentMetadataPlanner.h"
#include "DocumentWriter.h"
#include "FileAccess.h"
#include "JpegFrameProbe.h"
#include "JpegStripper.h"
#include "PagePlanner.h"
#include "PdfAPlan.h"
#include "PdfARules.h"
#include "PdfObjects.h"
#include "TextLayerPlan.h"
#include "XmpPacket.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

namespace {

constexpr int kAllEntriesUsable = -1;
// Object numbers and page counts must stay within int for the progress report.
constexpr size_t kMostPages = (INT_MAX - 3) / 3;

// What the probe reads for these options.
ProbeRequest RequestFor(const ExportOptions& options)
{
    ProbeRequest request;
    request.orientation = options.autoOrient;
    request.density = options.layout.density == DensitySource::FromFile;
    request.profile = options.embedProfiles || options.pdfa != PdfAPart::None;
    request.acceptGray = options.acceptGray;
    return request;
}

// What validation found in the usable entries: one record per page, each distinct profile once,
// and the warnings to give once the document is going to be written.
struct Validated {
    std::vector<ProbedPage> pages;
    std::vector<FileIdentity> identities;
    std::shared_ptr<ProfileTable> profiles = std::make_shared<ProfileTable>();
    std::vector<std::pair<int, std::string>> warnings;
};

// Probes every entry in list order and stops at the first one that cannot become a page.
// Returns that entry's index (and why in `problem`), or kAllEntriesUsable with every page.
// With `everyEntry` it goes on past a refusal and lists each one in `problems`. A profile's
// bytes are kept only in `found.profiles`, once however many entries carry them; under a PDF/A
// part only the profiles it may carry.
int ValidateEntries(const std::vector<std::string>& paths, const ProbeRequest& request, bool everyEntry, PdfAPart pdfa,
                    Validated& found, EntryProblem& problem, std::vector<EntryReport>& problems)
{
    int firstRefused = kAllEntriesUsable;
    found.pages.reserve(paths.size());
    found.identities.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        ProbeOutcome outcome;
        if (paths[i].empty())
            outcome.problem.refusal = EntryRefusal::EmptyPath;
        else
            ProbeJpegFile(paths[i], request, outcome);
        // A page of zero width or height is not a page any reader can show.
        if (outcome.problem.refusal == EntryRefusal::None && (outcome.info.Width == 0 || outcome.info.Height == 0))
            outcome.problem.refusal = EntryRefusal::ZeroSize;
        if (outcome.problem.refusal != EntryRefusal::None) {
            if (firstRefused == kAllEntriesUsable) {
                problem = outcome.problem;
                firstRefused = static_cast<int>(i);
            }
            if (!everyEntry)
                return firstRefused;
            problems.push_back({static_cast<int>(i), outcome.problem});
            continue;
        }
        const int entry = static_cast<int>(i);
        ProbedPage page {entry, outcome.info, outcome.components, outcome.orientation, outcome.density, -1};
        if (!outcome.profile.empty() && !PdfACarriesProfile(pdfa, outcome.profile)) {
            found.warnings.emplace_back(entry, PdfAProfileWarning(pdfa, outcome.profile));
            outcome.profile.clear();
        }
        if (!outcome.profile.empty())
            page.profile = found.profiles->Add(outcome.profile, page.components);
        else if (!outcome.profileIgnored.empty())
            found.warnings.emplace_back(entry, std::move(outcome.profileIgnored));
        found.pages.push_back(page);
        found.identities.push_back(outcome.identity);
    }
    return firstRefused;
}

// Adds the planned pages the PDF/A part cannot hold to what validation refused (the first refused
// entry, and with reportEveryEntry every one in list order); true when any entry is refused.
bool AddPdfARefusals(const DocumentPlan& plan, const ExportOptions& options, ExportReport& report)
{
    for (const EntryReport& refused : PdfAPageRefusals(plan, options.pdfa)) {
        if (report.entry < 0 || refused.entry < report.entry) {
            report.entry = refused.entry;
            report.entryProblem = refused.problem;
        }
        if (options.reportEveryEntry)
            report.problems.push_back(refused);
    }
    std::stable_sort(report.problems.begin(), report.problems.end(),
                     [](const EntryReport& a, const EntryReport& b) { return a.entry < b.entry; });
    if (report.entry < 0)
        return false;
    report.result = report.entry;
    return true;
}

// What a page text source is told before the first page is written: each page's file and the
// orientation its picture is shown in.
std::vector<PageTextRequest> TextRequests(const std::vector<ProbedPage>& pages, const std::vector<std::string>& paths)
{
    std::vector<PageTextRequest> requests;
    requests.reserve(pages.size());
    for (const ProbedPage& page : pages)
        requests.push_back({page.entry, paths[static_cast<size_t>(page.entry)], page.orientation});
    return requests;
}

OutputRefusal RefusalOf(OutputFile::OpenResult result)
{
    switch (result) {
    case OutputFile::OpenResult::Opened:
        return OutputRefusal::None;
    case OutputFile::OpenResult::IsOneOfInputs:
        return OutputRefusal::IsOneOfInputs;
    case OutputFile::OpenResult::Exists:
        return OutputRefusal::Exists;
    case OutputFile::OpenResult::Locked:
        return OutputRefusal::Locked;
    case OutputFile::OpenResult::NotRegularFile:
        return OutputRefusal::NotRegularFile;
    case OutputFile::OpenResult::FolderForbidsNewFiles:
        return OutputRefusal::FolderForbidsNewFiles;
    case OutputFile::OpenResult::Failed:
        break;
    }
    return OutputRefusal::CannotCreate;
}

}  // namespace

ExportReport ExportJpegList(const std::vector<std::string>& paths, const std::string& outputPath,
                            const ExportOptions& options, const ExportByteProgress& progress) noexcept
{
    ExportReport report;
    const bool toDescriptor = options.outputDescriptor >= 0;
    if (outputPath.empty() && !toDescriptor) {
        report.outputRefusal = OutputRefusal::CannotCreate;
        report.systemError = ENOENT;
        return report;
    }

    Validated found;
    DocumentPlan plan;
    OutputFile out;
    try {
        const bool pdfa = options.pdfa != PdfAPart::None;
        const int failingEntry = ValidateEntries(paths, RequestFor(options), options.reportEveryEntry, options.pdfa,
                                                 found, report.entryProblem, report.problems);
        // Every entry's refusal is reported at once: under PDF/A the usable ones are planned first,
        // as the part's refusals depend on the page each makes.
        if (failingEntry != kAllEntriesUsable) {
            report.result = report.entry = failingEntry;
            if (!pdfa || !options.reportEveryEntry)
                return report;
            AddPdfARefusals(PlanDocument(found.pages, options.layout, found.profiles), options, report);
            return report;
        }
        // A document without pages would open on a page that does not exist.
        if (paths.empty() || paths.size() > kMostPages) {
            report.outputRefusal = OutputRefusal::NoPages;
            return report;
        }
        if (!PdfAPageCountAllowed(options.pdfa, paths.size())) {
            report.outputRefusal = OutputRefusal::TooManyPagesForPart;
            return report;
        }
        // A date no calendar has cannot be written in either of its forms.
        if (options.info.hasDate && !IsValidDocumentDate(options.info.created)) {
            report.outputRefusal = OutputRefusal::CannotCreate;
            report.systemError = EINVAL;
            return report;
        }
        plan = PlanDocument(found.pages, options.layout, found.profiles);
        if (pdfa) {
            if (AddPdfARefusals(plan, options, report))
                return report;
            // The information dictionary and the XMP packet say the same, in text both can hold.
            ExportOptions described = options;
            described.info = XmlRepresentableInfo(options.info);
            PlanDocumentMetadata(plan, described, paths);
            AddPdfA(plan, options.pdfa, described.info);
        } else {
            PlanDocumentMetadata(plan, options, paths);
        }
        // What other options add to the plan goes here, each from its own unit, before anything
        // is written (see PagePlan.h).
        if (options.stripMetadata) {
            // Copied while walked, so each file is read once; the length follows the stream.
            UseImageData(plan, [](OutputFile& sink, const InputFile& jpeg, const PagePlan&) {
                return CopyJpegStripped(jpeg, sink) >= 0;
            });
        }
        if (options.text)
            AddTextLayer(plan, *options.text);
        if (options.warn) {
            for (const auto& [entry, text] : found.warnings)
                options.warn(entry, text);
        }
        if (toDescriptor) {
            out.Adopt(options.outputDescriptor);
        } else {
            // Writing over one of the inputs would empty it before it is copied.
            report.outputRefusal = RefusalOf(out.Open(outputPath, found.identities, options.replaceExisting));
            if (report.outputRefusal != OutputRefusal::None) {
                report.systemError = out.SystemError();
                report.outputFolder = out.TargetFolder();
                return report;
            }
        }
    } catch (...) {
        // Out of memory before anything was touched.
        report.outputRefusal = OutputRefusal::CannotCreate;
        report.systemError = ENOMEM;
        return report;
    }

    report.result = kExportFailedWriting;
    WriteStop stop;
    try {
        // The source may start recognising now that the document is sure to be written.
        if (options.text)
            options.text->Begin(TextRequests(found.pages, paths));
        const bool written = WriteDocument(out, paths, plan, progress, stop);
        if (written && out.Close()) {
            report.result = kExportSaved;
            return report;
        }
    } catch (...) {
        // Out of memory, or the progress report threw; the output is closed as it stands.
        out.Fail(false, ENOMEM);
    }
    report.entry = stop.entry;
    report.entryProblem = stop.reopen;
    report.systemError = out.Failure().systemError;
    // A document for a path never takes the path's name half-written; a path's existing file
    // stays as it was.
    out.Discard();
    return report;
}

int ConvertJpegListToPdf(const std::vector<std::string>& paths, const std::string& outputPath,
                         const ExportProgress& progress) noexcept
{
    ExportByteProgress pagesOnly;
    if (progress)
        pagesOnly = [&progress](int written, int total, int64_t) { progress(written, total); };
    return ExportJpegList(paths, outputPath, {}, pagesOnly).result;
}

}  // namespace jpeg2pdf
