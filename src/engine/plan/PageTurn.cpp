// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageTurn.h"

#include <cmath>
#include <numbers>

#include "ShownPixelSpace.h"

namespace jpeg2pdf {

namespace {

struct Point {
    double x, y;
};

Point Apply(const std::array<double, 6>& m, Point p)
{
    return {m[0] * p.x + m[2] * p.y + m[4], m[1] * p.x + m[3] * p.y + m[5]};
}

}  // namespace

std::optional<std::array<double, 6>> PageTurnMatrix(const PagePlan& page, double degrees)
{
    if (!std::isfinite(degrees) || degrees == 0 || std::abs(degrees) > kMostPageTurn)
        return std::nullopt;
    const double radians = degrees * std::numbers::pi / 180;
    const double c = std::cos(radians), s = std::sin(radians);
    const double cx = page.pageWidth / 2, cy = page.pageHeight / 2;
    // Turns about the origin, then moves the centre back where it was.
    return std::array<double, 6> {c, s, -s, c, cx - c * cx + s * cy, cy - s * cx - c * cy};
}

std::array<double, 6> InverseMatrix(const std::array<double, 6>& m)
{
    const double det = m[0] * m[3] - m[1] * m[2];
    const double a = m[3] / det, b = -m[1] / det, c = -m[2] / det, d = m[0] / det;
    return {a, b, c, d, -(a * m[4] + c * m[5]), -(b * m[4] + d * m[5])};
}

PageText TurnedWithPage(const PageText& text, const PagePlan& page, const std::array<double, 6>& matrix)
{
    const std::array<double, 6> toPage = ShownPixelsToPage(page);
    const std::array<double, 6> toPixels = InverseMatrix(toPage);
    const auto move = [&](double& x, double& y) {
        const Point p = Apply(toPixels, Apply(matrix, Apply(toPage, {x, y})));
        x = p.x;
        y = p.y;
    };
    PageText turned = text;
    for (TextBlock& block : turned.blocks) {
        for (TextLine& line : block.lines) {
            move(line.x0, line.y0);
            move(line.x1, line.y1);
        }
    }
    return turned;
}

}  // namespace jpeg2pdf
