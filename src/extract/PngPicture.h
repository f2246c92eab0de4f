// SPDX-License-Identifier: GPL-2.0-or-later
// A Png page's picture as a PNG file: the Flate data itself as IDAT where its PNG predictors fit,
// otherwise its rows decoded by libqpdf and written by libpng.
#pragma once

#include "PdfPictures.h"

namespace extract {

// Writes page `page`'s picture (a Png page) to `sink` as a PNG file: IHDR, iCCP for an ICC-based
// colour space (or an indexed one's base), PLTE for an indexed one, IDAT, IEND. Where the stream
// is Flate data with PNG predictors that fit the picture, and its zlib data decodes whole to
// exactly the picture's rows, each starting with a PNG filter type, the IDAT chunks hold its bytes
// unchanged; otherwise the rows are decoded, a soft mask becoming the alpha channel.
PipeOutcome WritePng(const PdfPictures& document, int page, ByteSink& sink);

}  // namespace extract
