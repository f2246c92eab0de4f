// SPDX-License-Identifier: GPL-2.0-or-later
// What the writer writes, all of it decided before the first byte: one plan per page, and what
// only options add to the document. The writer follows a plan and decides nothing; a default plan
// (see PlanDocument) gives exactly the window's bytes.
//
// Object numbers: 1 catalog, 2 page tree, then N pages, N images, N contents (ObjectNumbers),
// as the window writes them. Whatever only an option needs gets a number after those from
// DocumentPlan::objects, so the window's numbering and bytes never move.
//
// Hooks for what options add (DocumentExtras), all empty in a default plan:
//   objects          writers of whole extra objects, called in order after the last contents
//                    object and before the cross-reference section
//   catalogEntries   lines added to the catalog (/Outlines, /PageMode, /Metadata, /OutputIntents)
//   trailerEntries   lines added to the trailer (/Info)
//   documentId       the trailer's /ID, from the content written before it
//   RequireVersion   the header names the lowest version that has every feature used
//   afterHeader      bytes right after the header line (a comment line of binary bytes)
//   imageData        writes each image stream's data instead of the whole file; the /Length then
//                    refers to an object written right after the image object (UseImageData)
//   eolBeforeEndstream  an end-of-line, not counted in /Length, before every "endstream"
//   underlay         content drawn under each page's image, given as the page is written, with
//                    the page's quarter turns; each page's objects are then written together
//                    (image, contents, page object) instead of all page objects first
//   textFont         the font the resources of a page with an underlay name for its text
// Options fill these in ExportJpegList (PdfWriter.cpp) right after PlanDocument, before the output
// is opened. Every number a hook writes must be allocated from `objects` before writing begins,
// and every allocated number written exactly once (the cross-reference section lists them all).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FileAccess.h"
#include "PageGeometry.h"

namespace jpeg2pdf {

// Entry n - 1 holds where object n begins; the last entry holds where the cross-reference
// section begins.
using ObjectOffsets = std::vector<int64_t>;

// Object numbers for N pages: catalog 1, page tree 2, then N pages, N images, N contents.
struct ObjectNumbers {
    int64_t pageCount;
    int64_t Page(int64_t i) const { return 3 + i; }
    int64_t Image(int64_t i) const { return pageCount + 3 + i; }
    int64_t Contents(int64_t i) const { return 2 * pageCount + 3 + i; }
    int64_t ObjectCount() const { return 3 * pageCount + 2; }
};

// Hands out the numbers after the window's objects, in order.
class ObjectAllocator {
public:
    explicit ObjectAllocator(int64_t lastInUse = 0) : last_(lastInUse) { }
    int64_t Allocate() { return ++last_; }
    // The highest number handed out (or the window's last object): the document's object count.
    int64_t Last() const { return last_; }

private:
    int64_t last_;
};

// The device colour space an image's samples are in (and the ICCBased stream's /Alternate).
enum class ImageColour { Gray, Rgb, Cmyk };

struct PagePlan {
    int entry = 0;  // the list entry whose file is this page's image
    int32_t imageWidth = 0;  // the frame's samples per line and lines, as stored
    int32_t imageHeight = 0;
    ImageColour colour = ImageColour::Rgb;
    int64_t profileObject = 0;  // 0: the device space of `colour`; else the ICCBased stream's number
    double pageWidth = 0;  // the page box, from the origin
    double pageHeight = 0;
    std::array<double, 6> placement {};  // the "cm" matrix: the image's unit square onto the page
    bool clipped = false;  // true: "x y w h re W n" of `clip` before the "cm"
    PageRect clip;
    int64_t lengthObject = 0;  // 0: the image's /Length is written directly; else this object holds it
};

// What goes under a page's image, known only as the page is written.
struct PageUnderlay {
    std::string content;  // whole operator lines drawn before the image; empty: nothing
    int quarterTurns = 0;  // clockwise, 0 to 3: the page object's /Rotate
};
// Gives page `index`'s underlay; called once per page, in list order.
using UnderlayWriter = std::function<PageUnderlay(int64_t index, const PagePlan& page)>;

struct DocumentExtras;
// Writes one or more whole objects ("n 0 obj" ... "endobj\n", see BeginObject and
// EndStreamObject) at the output's position; false when a write failed.
using ObjectWriter = std::function<bool(OutputFile& out, ObjectOffsets& offsets, const DocumentExtras& extras)>;
// Writes the data of `page`'s image stream from its file, opened and at its size of now; false
// when a write failed (see OutputFile::Fail for a fault in the file).
using ImageDataWriter = std::function<bool(OutputFile& out, const InputFile& jpeg, const PagePlan& page)>;

struct DocumentExtras {
    int versionMinor = 2;  // %PDF-1.<versionMinor>
    void RequireVersion(int minor) { versionMinor = std::max(versionMinor, minor); }
    std::string afterHeader;  // empty, or whole lines ending in "\n"
    std::vector<std::string> catalogEntries;  // each "/Key value", one a line before the catalog's ">>"
    std::vector<std::string> trailerEntries;  // each "/Key value", one a line after "/Root 1 0 R"
    std::vector<ObjectWriter> objects;
    ImageDataWriter imageData;  // empty: each file is copied whole
    bool eolBeforeEndstream = false;
    UnderlayWriter underlay;  // empty: the window's order, every page object before the images
    int64_t textFont = 0;  // named by each page whose underlay is not empty; 0: none
    // The trailer's /ID from a running hash of every byte before the trailer (see ContentDigest).
    bool documentId = false;
};

struct DocumentPlan {
    std::vector<PagePlan> pages;
    ObjectAllocator objects;
    DocumentExtras extras;
    ObjectNumbers Numbers() const { return {static_cast<int64_t>(pages.size())}; }
};

// Lets `writer` produce every image stream's data: each page gets an object for its /Length,
// written right after the image object with the count of bytes the writer produced.
void UseImageData(DocumentPlan& plan, ImageDataWriter writer);

}  // namespace jpeg2pdf
