// SPDX-License-Identifier: GPL-2.0-or-later
// The export engine with what a front end needs to explain its outcome: why an entry cannot
// become a page, why the output cannot be made, what stopped the writing; and, on request, pages
// shown upright as their Exif orientation says. ConvertJpegListToPdf is ExportJpegList with the
// default options and writes the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "DocumentInfo.h"
#include "EntryProblem.h"
#include "PageLayout.h"
#include "PageText.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

// One line of text for the user, without the file name: "12-bit samples; PDF readers show
// 8-bit JPEG only".
std::string DescribeEntryProblem(const EntryProblem& problem);

enum class OutputRefusal {
    CannotCreate,  // systemError says why (folder missing, no permission, ...)
    Exists,  // the file exists and replaceExisting is false
    Locked,  // another program holds the file
    IsOneOfInputs,  // writing it would empty a listed file before it is copied
    NotRegularFile,  // a folder or socket
    FolderForbidsNewFiles,  // an existing file whose folder forbids the new file beside it (folder)
    NoPages,  // the list is empty (or too long to number)
    TooManyPagesForPart,  // PDF/A-1b: more pages than its page tree may list (8,191)
};

// What ExportJpegList tells its caller along the way: entry index and one line of text
// without the file name (a profile that was ignored, and why).
using ExportWarning = std::function<void(int entry, const std::string& text)>;

struct ExportOptions {
    bool autoOrient = false;  // page size and placement follow each file's Exif orientation
    bool replaceExisting = true;  // false: an existing output is refused
    int outputDescriptor = -1;  // 0 or more: write to this open descriptor (a pipe) instead of the output path

    // Options the window never sets; with their defaults the output is the plain layout's bytes,
    // which the window writes.
    bool reportEveryEntry = false;  // probe every entry and report each unusable one
    bool acceptGray = false;  // 1-component JPEGs become /DeviceGray pages
    // PNG files (told from their first bytes) become pages: their compressed rows copied, or their
    // pixels decoded and compressed again where they cannot be (interlaced, alpha); see
    // ProbePngFile for those taken. Off: a PNG is refused as not a JPEG.
    bool acceptPng = false;
    // TIFF files (told from their first bytes) become a page for each of their pages; see
    // ProbeTiffFile for those taken. Off: a TIFF is refused as not a JPEG.
    bool acceptTiff = false;
    bool embedProfiles = false;  // carry each JPEG's ICC profile as an ICCBased colour space
    PageLayout layout;
    DocumentInfo info;
    bool bookmarks = false;  // one outline entry per page, titled with the file's name
    bool stripMetadata = false;  // image streams without Exif, XMP, comments and trailing bytes
    PdfAPart pdfa = PdfAPart::None;  // implies embedProfiles
    ExportWarning warn;
    // Recognised text under each page's image (invisible, render mode 3) and the turn that
    // straightens each page; null: neither.
    PageTextSource* text = nullptr;
};

// How an export ends; each ending carries what only it has to tell.
struct ExportSaved { };  // the PDF was written completely and closed

// Entries that cannot become pages; nothing was written. The first unusable entry in list order
// and, with reportEveryEntry, every other one after it. Never empty.
struct EntriesRefused {
    std::vector<EntryReport> entries;
};

// The output cannot be made; nothing was written.
struct OutputRefused {
    OutputRefusal refusal = OutputRefusal::CannotCreate;
    // errno with CannotCreate (EINVAL: a date no calendar has) and FolderForbidsNewFiles.
    int systemError = 0;
    // With FolderForbidsNewFiles: the folder of the file the output's links lead to.
    std::string folder;
};

// Writing stopped; a file at the output path is left as it was.
struct WritingFailed {
    int entry = -1;  // the entry being copied; -1 when the output itself failed
    // With an entry: why it could not be opened again; refusal None when it was opened but not
    // copied whole (systemError says why, 0 when the file became shorter).
    EntryProblem reopen;
    // errno of the output (EFBIG when the document outgrows what its cross-reference section
    // can index), or of the entry being copied.
    int systemError = 0;
};

using ExportOutcome = std::variant<ExportSaved, EntriesRefused, OutputRefused, WritingFailed>;

// The outcome as the result code of ConvertJpegListToPdf: kExportSaved, kExportCannotCreate,
// kExportFailedWriting, or the index of the first refused entry.
int ExportResultCode(const ExportOutcome& outcome);

// Called after each page's image has been written, with the bytes of the document so far.
using ExportByteProgress = std::function<void(int pagesWritten, int pageCount, int64_t bytesWritten)>;

ExportOutcome ExportJpegList(const std::vector<std::string>& paths, const std::string& outputPath,
                             const ExportOptions& options = {}, const ExportByteProgress& progress = {}) noexcept;

}  // namespace jpeg2pdf
