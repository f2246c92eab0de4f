// SPDX-License-Identifier: GPL-2.0-or-later
// The engine's plain entry points, whose results are codes: one point per pixel, no options.
#include "ExportDetails.h"
#include "JpegFrameProbe.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

int ExportResultCode(const ExportOutcome& outcome)
{
    if (std::holds_alternative<ExportSaved>(outcome))
        return kExportSaved;
    if (const auto* refused = std::get_if<EntriesRefused>(&outcome))
        return refused->entries.front().entry;
    if (std::holds_alternative<OutputRefused>(outcome))
        return kExportCannotCreate;
    return kExportFailedWriting;
}

int ConvertJpegListToPdf(const std::vector<std::string>& paths, const std::string& outputPath,
                         const ExportProgress& progress) noexcept
{
    ExportByteProgress pagesOnly;
    if (progress)
        pagesOnly = [&progress](int written, int total, int64_t) { progress(written, total); };
    return ExportResultCode(ExportJpegList(paths, outputPath, {}, pagesOnly));
}

bool ReadJpegFrameInfo(const std::string& path, int32_t& width, int32_t& height, bool& isCmyk) noexcept
{
    ProbeOutcome outcome;
    outcome.info = {isCmyk, width, height};
    ProbeJpegFile(path, false, outcome);
    width = outcome.info.Width;
    height = outcome.info.Height;
    isCmyk = outcome.info.IsCmyk;
    return outcome.problem.refusal == EntryRefusal::None;
}

}  // namespace jpeg2pdf
