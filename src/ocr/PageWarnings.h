// SPDX-License-Identifier: GPL-2.0-or-later
// What the user is told about a page's recognition, each in one line without the file's name.
#pragma once

#include <string>

#include "PagePixels.h"
#include "PageText.h"

namespace ocr {

// Why the page lacks some or all of its text: a picture that cannot be decoded, or whose data
// stops before its end. Empty when the picture was decoded whole.
std::string DecodingProblem(const PagePixels& picture);

// For a page that shows its picture as stored while the file's Exif orientation turns or mirrors
// it: its text is recognised turned or mirrored as well. Empty otherwise. With `rotatePages` a turn
// alone is left to the orientation detection, which shows such a page upright; a mirrored picture
// no turn mends.
std::string UnturnedPictureWarning(const jpeg2pdf::PageTextRequest& page, bool rotatePages);

}  // namespace ocr
