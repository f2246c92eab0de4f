// SPDX-License-Identifier: GPL-2.0-or-later
// What the writer writes, all of it decided before the first byte: one plan per page, and what
// only options add to the document. Plain data: the writer follows it and decides nothing, and a
// plain plan (see PlanPages) gives exactly the bytes of the plain layout, one point per pixel.
//
// Object numbers: 1 catalog, 2 page tree, then N pages, N images, N contents (ObjectNumbers).
// Whatever only an option needs gets a number after those from DocumentPlan::objects, so the
// plain layout's numbering and bytes never move. Every allocated number is written exactly once
// (the cross-reference section lists them all).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DocumentInfo.h"
#include "ImageCoding.h"
#include "PageGeometry.h"
#include "ProfileTable.h"

namespace jpeg2pdf {

// Object numbers for N pages: catalog 1, page tree 2, then N pages, N images, N contents.
struct ObjectNumbers {
    int64_t pageCount;
    int64_t Page(int64_t i) const { return 3 + i; }
    int64_t Image(int64_t i) const { return pageCount + 3 + i; }
    int64_t Contents(int64_t i) const { return 2 * pageCount + 3 + i; }
    int64_t ObjectCount() const { return 3 * pageCount + 2; }
};

// Hands out the numbers after the plain layout's objects, in order.
class ObjectAllocator {
public:
    explicit ObjectAllocator(int64_t lastInUse = 0) : last_(lastInUse) { }
    int64_t Allocate() { return ++last_; }
    // The highest number handed out (or the plain layout's last object): the document's object count.
    int64_t Last() const { return last_; }

private:
    int64_t last_;
};

// The device colour space an image's samples are in (and the ICCBased stream's /Alternate).
enum class ImageColour { Gray, Rgb, Cmyk };

struct PagePlan {
    int entry = 0;  // the list entry whose file is this page's image
    int filePage = -1;  // which of that file's pages, from 0, for a file of several; -1: its only page
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
    // How the image stream's bytes come from the file: a JPEG whole (or stripped, see ImageData),
    // a PNG's IDAT payloads joined, with its depth, colours and palette, or decoded pixels (whose
    // /Length is always the object `lengthObject`).
    ImageCoding coding;
    // Decoded pixels with alpha: the soft mask image's object and the object of its /Length; 0: none.
    int64_t maskObject = 0;
    int64_t maskLengthObject = 0;
};

// Each distinct colour profile once, as a stream that every page using it refers to.
struct ProfileObjects {
    std::shared_ptr<const ProfileTable> table;  // null: none
    std::vector<int64_t> numbers;  // numbers[i] holds table->At(i)
};

// One outline entry per list entry, in page order, each opening its entry's first page whole: a
// file of several pages (a TIFF file) is one entry of the outline, as it is one of the list.
struct OutlinePlan {
    int64_t root = 0;  // 0: no outline; its items follow it, one per entry
    bool shownOpen = false;  // readers open the outline panel with the document
    std::vector<std::string> titles;  // each entry's file name without its folder, as bytes
    std::vector<int64_t> firstPages;  // the index of each entry's first page
    int64_t Item(int64_t i) const { return root + 1 + i; }
    int64_t ItemCount() const { return static_cast<int64_t>(titles.size()); }
};

// The information dictionary and the trailer's ID.
struct InformationPlan {
    int64_t object = 0;  // 0: none
    DocumentInfo info;  // under PDF/A, text both the dictionary and the XMP packet can hold
    // A described document is identified: /ID from a running hash of every byte before the trailer.
    bool HasDocumentId() const { return object != 0; }
};

// What a PDF/A document carries besides its pages: its XMP packet and its sRGB output intent.
struct PdfAPlan {
    PdfAPart part = PdfAPart::None;  // None: nothing of this is written
    int64_t metadata = 0;
    int64_t intent = 0;
    int64_t profile = 0;
    std::vector<uint8_t> outputProfile;  // the intent's sRGB profile
};

// The text layer's font objects; `font` is the one pages name in their resources.
struct TextFontNumbers {
    int64_t font = 0;  // 0: no text layer
    int64_t descendant = 0;
    int64_t descriptor = 0;
    int64_t program = 0;
    int64_t glyphMap = 0;  // CIDToGIDMap
    int64_t toUnicode = 0;
};

// How each image stream's data comes from its file.
enum class ImageData {
    WholeFile,  // copied whole, its size taken as it is copied
    Stripped,  // the stripped copy (see CopyJpegStripped); each page's /Length is an object of its own
};

struct DocumentPlan {
    std::vector<PagePlan> pages;
    ObjectAllocator objects;
    int versionMinor = 2;  // %PDF-1.<versionMinor>: the lowest version that has every feature used
    void RequireVersion(int minor) { versionMinor = std::max(versionMinor, minor); }
    bool binaryComment = false;  // a comment line of bytes above 127 after the header
    bool eolBeforeEndstream = false;  // an end-of-line, not counted in /Length, before every "endstream"
    ImageData imageData = ImageData::WholeFile;
    // The extra objects, written after the last contents object in this order.
    ProfileObjects profiles;
    OutlinePlan outline;
    InformationPlan information;
    PdfAPlan pdfa;
    // With a font, each page's text is set under its image as the page is written, and the page's
    // objects are written together (image, contents, page object) instead of all page objects first.
    TextFontNumbers text;
    ObjectNumbers Numbers() const { return {static_cast<int64_t>(pages.size())}; }
};

}  // namespace jpeg2pdf
