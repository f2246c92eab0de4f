// SPDX-License-Identifier: GPL-2.0-or-later
// The export engine with what a front end needs to explain its outcome: why an entry cannot
// become a page, why the output cannot be made, what stopped the writing; and, on request, pages
// shown upright as their Exif orientation says. ConvertJpegListToPdf is ExportJpegList with the
// default options and writes the same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PageText.h"
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
    // Only with options the window never sets:
    CmykWithoutProfile,  // PDF/A: a CMYK picture without a usable profile cannot be shown under an sRGB intent
    PageOutOfRange,  // PDF/A: the page would be smaller than 3 or larger than 14,400 units on a side
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
    NotRegularFile,  // a folder or socket
    FolderForbidsNewFiles,  // an existing file whose folder forbids the new file beside it (outputFolder)
    NoPages,  // the list is empty (or too long to number)
    TooManyPagesForPart,  // PDF/A-1b: more pages than its page tree may list (8,191)
};

// Where a page's size comes from when no paper is given, and the picture's size on paper.
enum class DensitySource {
    OnePointPerPixel,  // one pixel is one point, as the window writes
    Fixed,  // dotsPerInch for every file
    FromFile,  // each file's JFIF or Exif density; 72 where it states none
};

enum class FitMode {
    Into,  // the largest size that fits inside the paper less the margins, centred
    Fill,  // covers that area, centred, the overflow clipped
    Shrink,  // the size from the density unless that is larger than the area, then as Into
};

struct PageLayout {
    DensitySource density = DensitySource::OnePointPerPixel;
    double dotsPerInch = 72;  // for Fixed; positive
    // Paper in points, before it is turned to run the picture's way; 0 x 0 (the default): the
    // page is the picture's size.
    double paperWidth = 0;
    double paperHeight = 0;
    FitMode fit = FitMode::Into;
    double margin = 0;  // points, on all four sides of the paper (without paper, around the picture)
};

// A creation date as the user gave it (validated by whoever parsed it).
struct DocumentDate {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    bool hasZone = false;  // false: local time of unknown offset
    int zoneMinutes = 0;  // east of UTC
};

// The document information dictionary; UTF-8 text, an empty field is not written.
struct DocumentInfo {
    std::string title, author, subject, keywords;
    bool hasDate = false;  // false: no date of any kind is written
    DocumentDate created;
};

enum class PdfAPart { None, A1b, A2b };

// What ExportJpegList tells its caller along the way: entry index and one line of text
// without the file name (a profile that was ignored, and why).
using ExportWarning = std::function<void(int entry, const std::string& text)>;

struct ExportOptions {
    bool autoOrient = false;  // page size and placement follow each file's Exif orientation
    bool replaceExisting = true;  // false: an existing output is refused
    int outputDescriptor = -1;  // 0 or more: write to this open descriptor (a pipe) instead of the output path

    // Options the window never sets; with their defaults the output is the window's bytes.
    bool reportEveryEntry = false;  // probe every entry and report each unusable one (ExportReport::problems)
    bool acceptGray = false;  // 1-component JPEGs become /DeviceGray pages
    bool embedProfiles = false;  // carry each JPEG's ICC profile as an ICCBased colour space
    PageLayout layout;
    DocumentInfo info;
    bool bookmarks = false;  // one outline entry per page, titled with the file's name
    bool stripMetadata = false;  // image streams without Exif, XMP, comments and trailing bytes
    PdfAPart pdfa = PdfAPart::None;  // implies embedProfiles
    ExportWarning warn;
    // Recognised text under each page's image (invisible, render mode 3); null: no text layer.
    PageTextSource* text = nullptr;
};

struct EntryReport {
    int entry = -1;
    EntryProblem problem;
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
    // With FolderForbidsNewFiles: the folder of the file the output's links lead to.
    std::string outputFolder;
    // With reportEveryEntry and a result of 0 or more: every unusable entry in list order (the
    // first of them is `entry`).
    std::vector<EntryReport> problems;
};

// Called after each page's image has been written, with the bytes of the document so far.
using ExportByteProgress = std::function<void(int pagesWritten, int pageCount, int64_t bytesWritten)>;

ExportReport ExportJpegList(const std::vector<std::string>& paths, const std::string& outputPath,
                            const ExportOptions& options = {}, const ExportByteProgress& progress = {}) noexcept;

}  // namespace jpeg2pdf
