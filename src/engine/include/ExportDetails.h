// The export engine with what a front end needs to explain its outcome: why an entry cannot
// become a page, why the output cannot be made, what stopped the writing; and, on request, pages
// shown upright as their Exif orientation says. ConvertJpegListToPdf is ExportJpegList with the
// default options and writes the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jpeg2pdf.h"

namespace jpeg2pdf {

enum class EntryRefusal {
    None,
    EmptyPath,
    CannotOpen,  // systemError says why
    NotRegularFile,  // a folder, device, FIFO or socket
    LockedByWriter,  // another program holds the file's exclusive lock
    NotJpeg,  // does not begin with a start-of-image marker
    EndsEarly,  // the file ends before a frame header
    NoFrameHeader,  // the headers end (image data, end of image, fill bytes) without a frame header
    UnsupportedFrame,  // only a frame of another coding process; frameMarker says which
    NotEightBit,  // precision holds the sample precision
    ComponentCount,  // components holds the count
    ZeroSize,  // the frame header gives a width or height of 0
};

struct EntryProblem {
    EntryRefusal refusal = EntryRefusal::None;
    int systemError = 0;
    int frameMarker = 0;
    int precision = 0;
    int components = 0;
};

// One line of text for the user, without the file name: "12-bit samples; PDF readers show
// 8-bit JPEG only".
std::string DescribeEntryProblem(const EntryProblem& problem);

enum class OutputRefusal {
    None,
    CannotCreate,  // systemError says why (folder missing, no permission, ...)
    Exists,  // the file exists and replaceExisting is false
    Locked,  // another program holds the file
    IsOneOfInputs,  // writing it would empty a listed file before it is copied
    NotRegularFile,  // a folder, FIFO or socket
    NoPages,  // the list is empty (or too long to number)
};

struct ExportOptions {
    bool autoOrient = false;  // page size and placement follow each file's Exif orientation
    bool replaceExisting = true;  // false: an existing output is refused
    bool removeOnFailure = false;  // a document that fails half-way is removed instead of left as far as written
    int outputDescriptor = -1;  // 0 or more: write to this open descriptor (a pipe) instead of the output path
};

struct ExportReport {
    int result = kExportCannotCreate;  // the export result code
    // Result 0 or more: why that entry was refused. Result -3 with entry set: the entry could not
    // be opened again (refusal set) or copied whole (systemError, 0 when the file became shorter).
    int entry = -1;
    EntryProblem entryProblem;
    OutputRefusal outputRefusal = OutputRefusal::None;  // result -1
    // Result -1 with CannotCreate, or -3 (the output's errno when entry is -1; EFBIG when the
    // document outgrows what its cross-reference section can index).
    int systemError = 0;
};

// Called after each page's image has been written, with the bytes of the document so far.
using ExportByteProgress = std::function<void(int pagesWritten, int pageCount, int64_t bytesWritten)>;

ExportReport ExportJpegList(const std::vector<std::string>& paths, const std::string& outputPath,
                            const ExportOptions& options = {}, const ExportByteProgress& progress = {}) noexcept;

}  // namespace jpeg2pdf
