// SPDX-License-Identifier: GPL-2.0-or-later
// Recognised text for a page's invisible text layer. The engine does not recognise anything: a
// front end passes a PageTextSource (the command line's one runs a text recogniser on threads of
// its own), the engine takes each page's text in list order as it writes that page and places the
// words through the same plan that places the image, so paper, fit, margins and turning move
// them with it. Without a source a document has no text layer and keeps the plain bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jpeg2pdf {

// Coordinates are in the picture's pixels as the page shows it: after the Exif turn when the
// export orients pages (ExportOptions::autoOrient), before any PageText::rotate; x runs right
// and y down from the picture's top left corner.
struct TextWord {
    std::string text;  // UTF-8, no spaces
    // Where the word starts and ends along its line's baseline, in pixels from the line's start.
    double start = 0;
    double end = 0;
};

struct TextLine {
    // The baseline from the line's start to its end, in reading order (turned by its slope, or
    // by a quarter turn for a page recognised on its side).
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double height = 0;  // pixels from the lowest descender to the highest ascender: the font size
    std::vector<TextWord> words;  // in reading order
};

struct TextBlock {
    std::vector<TextLine> lines;  // in the order layout analysis gave them
};

struct PageText {
    std::vector<TextBlock> blocks;  // in reading order; empty: a page without words
    // Clockwise quarter turns a reader should show the page with (/Rotate), 0 to 3: a page
    // scanned on its side or upside down, turned upright losslessly.
    int rotate = 0;
    // Degrees the page turns its picture counter-clockwise (as the page is seen, before `rotate`)
    // about the page's centre, clipped to the page: a page scanned askew shown straight without a
    // byte of the picture changing. The words stay where they are in the picture as shown
    // unturned; the engine turns them with it. Taken when finite and within kMostPageTurn either
    // way; 0 leaves the page as it always was.
    double turn = 0;
};

// The largest turn a page takes: beyond it a page is more likely drawn at a slant on purpose.
constexpr double kMostPageTurn = 10;

// What the engine tells a source about each page before writing begins.
struct PageTextRequest {
    int entry = 0;  // the list entry whose file is the page's image
    std::string path;
    int orientation = 1;  // the Exif orientation (1 to 8) the page shows its picture in; 1 unturned
    int fileOrientation = 1;  // the Exif orientation the file states, whether the page follows it or not
    int filePage = 0;  // which of the file's pages, from 0 (a TIFF file's, reduced-resolution images not counted)
    bool severalPages = false;  // the file holds several pages: messages name the page
    uint64_t directory = 0;  // a TIFF page: where its image file directory lies in the file
};

class PageTextSource {
public:
    virtual ~PageTextSource() = default;
    // Every page in list order, once, before the first Take; a source may start working ahead.
    virtual void Begin(const std::vector<PageTextRequest>& pages) = 0;
    // Page `index` of Begin's list (called once per page, in order); blocks until it is ready.
    // A page whose picture cannot be recognised comes back empty.
    virtual PageText Take(int index) = 0;
    // False for a source that only straightens pages: the document then carries no text font.
    virtual bool GivesWords() const { return true; }
};

}  // namespace jpeg2pdf
