// SPDX-License-Identifier: GPL-2.0-or-later
// The user's words for why an entry cannot become a page.
#include <cstring>
#include <string>

#include "ExportDetails.h"

namespace jpeg2pdf {

namespace {

std::string FrameKind(int marker)
{
    switch (marker) {
    case 0xFFC1:
        return "extended-sequential";
    case 0xFFC3:
        return "lossless";
    case 0xFFC5:
    case 0xFFC6:
    case 0xFFC7:
        return "hierarchical";
    default:
        return "arithmetic-coded";  // C9 to CB, and CD to CF (arithmetic and hierarchical)
    }
}

}  // namespace

std::string DescribeEntryProblem(const EntryProblem& problem)
{
    switch (problem.refusal) {
    case EntryRefusal::None:
        return "usable";
    case EntryRefusal::EmptyPath:
        return "empty file name";
    case EntryRefusal::CannotOpen:
        return std::string("cannot open: ") + std::strerror(problem.systemError);
    case EntryRefusal::NotRegularFile:
        return "not a regular file";
    case EntryRefusal::LockedByWriter:
        return "cannot open: another program is writing it (locked)";
    case EntryRefusal::NotJpeg:
        return "not a JPEG file";
    case EntryRefusal::EndsEarly:
        return "the file ends before its frame header is complete";
    case EntryRefusal::NoFrameHeader:
        return "no frame header before the image data";
    case EntryRefusal::UnsupportedFrame:
        return FrameKind(problem.frameMarker) + " frame; PDF readers show baseline and progressive JPEG only";
    case EntryRefusal::NotEightBit:
        return std::to_string(problem.precision) + "-bit samples; PDF readers show 8-bit JPEG only";
    case EntryRefusal::ComponentCount:
        if (problem.components == 1)
            return "grayscale (1 component); only RGB (3) and CMYK (4) are supported";
        return std::to_string(problem.components) + " components; only RGB (3) and CMYK (4) are supported";
    case EntryRefusal::ZeroSize:
        return "zero width or height";
    case EntryRefusal::CmykWithoutProfile:
        return "CMYK without a usable colour profile of its own; a PDF/A document with an sRGB output intent "
               "cannot show it";
    case EntryRefusal::PageOutOfRange:
        return "the page would be smaller than 3 or larger than 14,400 units on a side, which PDF/A does not allow";
    }
    return "not usable";
}

}  // namespace jpeg2pdf
