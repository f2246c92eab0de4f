// SPDX-License-Identifier: GPL-2.0-or-later
// What the command line asks of text recognition and of straightening pages scanned askew.
#pragma once

#include <string>

namespace ocr {

struct OcrSettings {
    std::string languages = "eng";  // the recogniser's language names joined by '+'
    bool rotatePages = false;  // detect pages on their side or upside down and turn them upright
    int jobs = 1;  // pages recognised at once, each on one thread
    bool recognise = true;  // false: pages are only measured for straightening
    bool straighten = false;  // pages scanned askew are shown turned level (PageText::turn)
};

}  // namespace ocr
