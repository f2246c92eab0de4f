// SPDX-License-Identifier: GPL-2.0-or-later
// libpng's calls, each returning false where libpng gives up (its error handler jumps back here).
// Nothing between the jump's two ends may have a destructor to run.
#pragma once

#include <png.h>

#include <csetjmp>

namespace extract {

template <typename Call>
bool PngCall(png_structp png, Call call)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    call();
    return true;
}

}  // namespace extract
