// SPDX-License-Identifier: GPL-2.0-or-later
// Every refusal's words, so a swapped or lost word shows.
#include <cerrno>

#include <gtest/gtest.h>

#include "ExportDetails.h"

using jpeg2pdf::EntryRefusal;

TEST(EntryProblemText, EveryRefusal)
{
    const std::string frame = " frame; PDF readers show baseline and progressive JPEG only";
    const std::string models = "; only RGB (3) and CMYK (4) are supported";
    struct Case {
        jpeg2pdf::EntryProblem problem;
        std::string text;
    };
    const Case cases[] = {
        {{EntryRefusal::EmptyPath}, "empty file name"},
        {{EntryRefusal::CannotOpen, ENOENT}, "cannot open: No such file or directory"},
        {{EntryRefusal::CannotOpen, EACCES}, "cannot open: Permission denied"},
        {{EntryRefusal::NotRegularFile}, "not a regular file"},
        {{EntryRefusal::LockedByWriter}, "cannot open: another program is writing it (locked)"},
        {{EntryRefusal::NotJpeg}, "not a JPEG file"},
        {{EntryRefusal::EndsEarly}, "the file ends before its frame header is complete"},
        {{EntryRefusal::NoFrameHeader}, "no frame header before the image data"},
        {{EntryRefusal::UnsupportedFrame, 0, 0xFFC1}, "extended-sequential" + frame},
        {{EntryRefusal::UnsupportedFrame, 0, 0xFFC3}, "lossless" + frame},
        {{EntryRefusal::UnsupportedFrame, 0, 0xFFC5}, "hierarchical" + frame},
        {{EntryRefusal::UnsupportedFrame, 0, 0xFFC7}, "hierarchical" + frame},
        {{EntryRefusal::UnsupportedFrame, 0, 0xFFC9}, "arithmetic-coded" + frame},
        {{EntryRefusal::UnsupportedFrame, 0, 0xFFCF}, "arithmetic-coded" + frame},
        {{EntryRefusal::NotEightBit, 0, 0, 12}, "12-bit samples; PDF readers show 8-bit JPEG only"},
        {{EntryRefusal::ComponentCount, 0, 0, 0, 1}, "grayscale (1 component)" + models},
        {{EntryRefusal::ComponentCount, 0, 0, 0, 2}, "2 components" + models},
        {{EntryRefusal::ZeroSize}, "zero width or height"},
        {{EntryRefusal::CmykWithoutProfile},
         "CMYK without a usable colour profile of its own; a PDF/A document with an sRGB output intent cannot "
         "show it"},
        {{EntryRefusal::PageOutOfRange},
         "the page would be smaller than 3 or larger than 14,400 units on a side, which PDF/A does not allow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(jpeg2pdf::DescribeEntryProblem(c.problem), c.text);
    }
}
