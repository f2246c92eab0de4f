// SPDX-License-Identifier: GPL-2.0-or-later
// The recogniser's result as a page's text: blocks, lines and words in the order layout analysis
// gave them, each line on its baseline.
#pragma once

#include "PageText.h"
#include "PageWords.h"

namespace tesseract {
class ResultIterator;
}

namespace ocr {

// Reads every word from `it` (null: no text). Words without text, or of spaces only, are left out,
// and so are lines and blocks left without words. `record`, when given, gets the same words with
// their paragraphs, boxes and confidences, where the recogniser saw them (its size is left alone).
jpeg2pdf::PageText ReadRecognisedLayout(tesseract::ResultIterator* it, PageWords* record = nullptr);

// Coordinates of a picture decoded at 1/`scale` of its size, as the page's pixels.
void ScalePageText(jpeg2pdf::PageText& text, double scale);

// Text recognised on the picture turned `turns` clockwise quarter turns (`width` x `height` after the
// turn), carried back to the picture as the page holds it; `text.rotate` becomes `turns`.
void TurnPageTextBack(jpeg2pdf::PageText& text, int turns, double width, double height);

}  // namespace ocr
