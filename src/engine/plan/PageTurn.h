// SPDX-License-Identifier: GPL-2.0-or-later
// A page that shows its picture turned about the page's centre (a scan straightened without
// touching its bytes): where the picture and the words read from it go.
#pragma once

#include <array>
#include <optional>

#include "PagePlan.h"
#include "PageText.h"

namespace jpeg2pdf {

// The "cm" matrix that turns page space by `degrees` counter-clockwise about the page's centre, or
// nothing when the page is not turned (0, not finite, or beyond kMostPageTurn either way).
std::optional<std::array<double, 6>> PageTurnMatrix(const PagePlan& page, double degrees);

// `text` with every line's baseline moved to where the turn `matrix` puts it, still in the shown
// picture's pixels: through those pixels' own place on the page, the turn, and back. The words'
// places along their lines keep their distances, so each word stays over its word in the turned
// picture, and a line the turn makes level is level in the text layer.
PageText TurnedWithPage(const PageText& text, const PagePlan& page, const std::array<double, 6>& matrix);

// The inverse of an invertible "cm" matrix.
std::array<double, 6> InverseMatrix(const std::array<double, 6>& m);

}  // namespace jpeg2pdf
