// SPDX-License-Identifier: GPL-2.0-or-later
// A decoded picture as image objects: its samples compressed again with Flate, row by row as the
// decoder gives them, and its alpha as a soft mask image of its own.
#pragma once

#include <cstdint>

#include "EntryProblem.h"
#include "PdfObjects.h"
#include "PixelRows.h"

namespace jpeg2pdf {

enum class PixelPart {
    Samples,  // the page's image object, naming its soft mask when the plan has one
    Alpha,  // the soft mask: DeviceGray at the alpha's depth
};

// Writes the image object (or the plan's mask object) from `rows`, opened for this pass, then the
// object holding its /Length. False when a write failed, or when `rows` failed (its Problem in
// `problem`, and the output failed as an input's fault).
bool WritePixelImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                           PixelPart part, PixelRows& rows, bool eolBeforeEndstream, EntryProblem& problem);

}  // namespace jpeg2pdf
