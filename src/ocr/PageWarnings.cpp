// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageWarnings.h"

namespace ocr {

std::string DecodingProblem(const PagePixels& picture)
{
    if (!picture.error.empty())
        return "no text recognised: the picture cannot be decoded (" + picture.error + ")";
    if (picture.incomplete)
        return "text recognised only where the picture could be decoded: its data ends early or is damaged";
    return {};
}

std::string UnturnedPictureWarning(const jpeg2pdf::PageTextRequest& page, bool rotatePages)
{
    struct Way {
        const char* does;  // what the orientation does to the stored picture
        const char* read;  // how the text is recognised when it is not done
        bool turnOnly;  // a turn the orientation detection can find
    };
    static constexpr Way kWays[] = {
        {"mirrors", "mirrored", false},
        {"turns", "upside down", true},
        {"mirrors", "upside down and mirrored", false},
        {"turns and mirrors", "on its side and mirrored", false},
        {"turns", "on its side", true},
        {"turns and mirrors", "on its side and mirrored", false},
        {"turns", "on its side", true},
    };
    if (page.orientation != 1 || page.fileOrientation < 2 || page.fileOrientation > 8)
        return {};
    const Way& way = kWays[page.fileOrientation - 2];
    if (rotatePages && way.turnOnly)
        return {};
    return "its Exif orientation (" + std::to_string(page.fileOrientation) + ") " + way.does
        + " it, but the page shows it as stored, so its text is recognised " + way.read
        + "; --auto-orient follows the orientation";
}

}  // namespace ocr
