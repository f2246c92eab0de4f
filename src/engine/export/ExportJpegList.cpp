// SPDX-License-Identifier: GPL-2.0-or-later
// The export: every entry validated, the document planned once, then written. Each option is
// turned into what the layer below asks for here, once.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <utility>
#include <vector>

#include "DocumentDateText.h"
#include "DocumentPlanner.h"
#include "DocumentWriter.h"
#include "EntryValidation.h"
#include "ExportDetails.h"
#include "OutputFile.h"
#include "PdfAPlanner.h"
#include "PdfARules.h"
#include "PicturePixels.h"

namespace jpeg2pdf {

namespace {

using posixfile::OutputFile;

// Object numbers and page counts must stay within int for the progress report.
constexpr size_t kMostPages = (INT_MAX - 3) / 3;

// What the probe reads for these options.
ProbeRequest ProbeRequestFor(const ExportOptions& options)
{
    ProbeRequest request;
    // A text layer's source is told how the file would turn a page it shows as stored.
    request.orientation = options.autoOrient || options.text != nullptr;
    request.density = options.layout.density == DensitySource::FromFile;
    request.profile = options.embedProfiles || options.pdfa != PdfAPart::None;
    request.acceptGray = options.acceptGray;
    request.acceptPng = options.acceptPng;
    request.acceptTiff = options.acceptTiff;
    return request;
}

DocumentRequest DocumentRequestFor(const ExportOptions& options)
{
    DocumentRequest request;
    request.bookmarks = options.bookmarks;
    request.info = options.info;
    request.pdfa = options.pdfa;
    request.stripMetadata = options.stripMetadata;
    request.textLayer = options.text != nullptr && options.text->GivesWords();
    return request;
}

// Why the document as a whole cannot be made, before any output is touched; nothing when it can.
// `pageCount`: the pages of every entry (a TIFF file may hold several).
std::optional<OutputRefused> DocumentRefusal(size_t pageCount, const ExportOptions& options)
{
    // A document without pages would open on a page that does not exist.
    if (pageCount == 0 || pageCount > kMostPages)
        return OutputRefused {OutputRefusal::NoPages};
    if (!PdfAPageCountAllowed(options.pdfa, pageCount))
        return OutputRefused {OutputRefusal::TooManyPagesForPart};
    // A date no calendar has cannot be written in either of its forms.
    if (options.info.hasDate && !IsValidDocumentDate(options.info.created))
        return OutputRefused {OutputRefusal::CannotCreate, EINVAL};
    return std::nullopt;
}

// The entries refused by validation and by the plan, in list order, each once (for the first of
// its reasons in `byPlan`): every one when `everyEntry`, else only the first.
EntriesRefused MergeRefusals(std::vector<EntryReport> refused, const std::vector<EntryReport>& byPlan, bool everyEntry)
{
    refused.insert(refused.end(), byPlan.begin(), byPlan.end());
    std::stable_sort(refused.begin(), refused.end(),
                     [](const EntryReport& a, const EntryReport& b) { return a.entry < b.entry; });
    // Classic algorithms: the fuzzing build's clang does not take libstdc++'s ranges.
    refused.erase(std::unique(refused.begin(), refused.end(),
                              [](const EntryReport& a, const EntryReport& b) { return a.entry == b.entry; }),
                  refused.end());
    if (!everyEntry)
        refused.resize(1);
    return {std::move(refused)};
}

OutputRefusal RefusalOf(OutputFile::OpenResult result)
{
    switch (result) {
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
    case OutputFile::OpenResult::Opened:
    case OutputFile::OpenResult::Failed:
        break;
    }
    return OutputRefusal::CannotCreate;
}

// What a page text source is told before the first page is written: each page's file and the
// orientation its picture is shown in.
std::vector<PageTextRequest> TextRequests(const std::vector<ProbedPage>& pages, const std::vector<std::string>& paths)
{
    std::vector<PageTextRequest> requests;
    requests.reserve(pages.size());
    for (const ProbedPage& page : pages) {
        const std::string& path = paths[static_cast<size_t>(page.entry)];
        requests.push_back({page.entry, path, page.orientation, page.fileOrientation, std::max(page.page, 0),
                            page.page >= 0, page.coding.directory});
    }
    return requests;
}

// Writes the planned document to `out`, which is open; closes or discards it.
ExportOutcome Write(OutputFile& out, const std::vector<std::string>& paths, const ValidatedEntries& found,
                    const DocumentPlan& plan, const ExportOptions& options, const ExportByteProgress& progress)
{
    WriteStop stop;
    try {
        // The source may start recognising now that the document is sure to be written.
        if (options.text)
            options.text->Begin(TextRequests(found.pages, paths));
        PicturePixels pixels;
        if (WriteDocument(out, paths, plan, options.text, progress, stop, &pixels) && out.Close())
            return ExportSaved {};
    } catch (...) {
        // Out of memory, or the progress report threw; the output is closed as it stands.
        out.Fail(false, ENOMEM);
    }
    WritingFailed failed {stop.entry, stop.reopen, out.Failure().systemError};
    // A document for a path never takes the path's name half-written; a path's existing file
    // stays as it was.
    out.Discard();
    return failed;
}

}  // namespace

ExportOutcome ExportJpegList(const std::vector<std::string>& paths, const std::string& outputPath,
                             const ExportOptions& options, const ExportByteProgress& progress) noexcept
{
    const bool toDescriptor = options.outputDescriptor >= 0;
    if (outputPath.empty() && !toDescriptor)
        return OutputRefused {OutputRefusal::CannotCreate, ENOENT};

    ValidatedEntries found;
    DocumentPlan plan;
    OutputFile out;
    try {
        const bool pdfa = options.pdfa != PdfAPart::None;
        // Pages sized by a density, and every page under PDF/A, may be refused for the page each
        // makes: the usable entries are planned too, so every entry's refusal is reported at once.
        const bool planRefuses = pdfa || options.layout.density != DensitySource::OnePointPerPixel;
        found = ValidateEntries(paths, ProbeRequestFor(options), options.reportEveryEntry, options.pdfa,
                                options.autoOrient);
        const bool refused = !found.refused.empty();
        if (refused && !(planRefuses && options.reportEveryEntry))
            return EntriesRefused {std::move(found.refused)};
        if (!refused) {
            if (std::optional<OutputRefused> refusal = DocumentRefusal(found.pages.size(), options))
                return *refusal;
        }
        plan = PlanPages(found.pages, options.layout, found.profiles);
        std::vector<EntryReport> byPlan = DensityPageRefusals(found.pages, plan, options.layout);
        if (pdfa) {
            const std::vector<EntryReport> byPart = PdfAPageRefusals(plan, options.pdfa);
            byPlan.insert(byPlan.end(), byPart.begin(), byPart.end());
        }
        if (refused || !byPlan.empty())
            return MergeRefusals(std::move(found.refused), byPlan, options.reportEveryEntry);
        PlanDocumentParts(plan, DocumentRequestFor(options), paths);
        if (options.warn) {
            for (const auto& [entry, text] : found.warnings)
                options.warn(entry, text);
        }
        if (toDescriptor) {
            out.Adopt(options.outputDescriptor);
        } else {
            // Writing over one of the inputs would empty it before it is copied.
            const OutputFile::OpenResult opened = out.Open(outputPath, found.identities, options.replaceExisting);
            if (opened != OutputFile::OpenResult::Opened)
                return OutputRefused {RefusalOf(opened), out.SystemError(), out.TargetFolder()};
        }
    } catch (...) {
        // Out of memory before anything was touched.
        return OutputRefused {OutputRefusal::CannotCreate, ENOMEM};
    }
    return Write(out, paths, found, plan, options, progress);
}

}  // namespace jpeg2pdf
