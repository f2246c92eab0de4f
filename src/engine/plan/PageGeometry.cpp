// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ReaderBounds.h"

namespace jpeg2pdf {

namespace {

bool Usable(double dpi) { return std::isfinite(dpi) && dpi > 0; }

// The picture scaled by `scale` and centred in `area`.
PageRect Centred(const PageRect& area, double width, double height, double scale)
{
    const double w = width * scale, h = height * scale;
    return {area.x + (area.width - w) / 2, area.y + (area.height - h) / 2, w, h};
}

}  // namespace

PixelDensity DensityFor(const PageLayout& layout, double fileX, double fileY)
{
    switch (layout.density) {
    case DensitySource::OnePointPerPixel:
        return {};
    case DensitySource::Fixed: {
        if (!Usable(layout.dotsPerInch))
            return {};
        // Beyond what any file may state a page would shrink to nothing a reader can show.
        const double dpi = std::min(layout.dotsPerInch, kMostPixelsPerInch);
        return {dpi, dpi};
    }
    case DensitySource::FromFile:
        break;
    }
    if (!Usable(fileX) && !Usable(fileY))
        return {};
    if (!Usable(fileX))
        return {fileY, fileY};
    if (!Usable(fileY))
        return {fileX, fileX};
    return {fileX, fileY};
}

PageGeometry LayOutPage(int pixelWidth, int pixelHeight, PixelDensity density, const PageLayout& layout)
{
    // At 72 pixels per inch the product is exact, so one pixel stays exactly one point.
    const double width = density.x == 72 ? pixelWidth : pixelWidth * 72.0 / density.x;
    const double height = density.y == 72 ? pixelHeight : pixelHeight * 72.0 / density.y;
    const double margin = std::isfinite(layout.margin) && layout.margin > 0 ? layout.margin : 0;

    PageGeometry page;
    if (!(layout.paperWidth > 0 && layout.paperHeight > 0 && std::isfinite(layout.paperWidth)
          && std::isfinite(layout.paperHeight))) {
        page.pageWidth = width + 2 * margin;
        page.pageHeight = height + 2 * margin;
        page.picture = {margin, margin, width, height};
        return page;
    }

    double paperWidth = layout.paperWidth, paperHeight = layout.paperHeight;
    if ((width > height && paperWidth < paperHeight) || (width < height && paperWidth > paperHeight))
        std::swap(paperWidth, paperHeight);
    page.pageWidth = paperWidth;
    page.pageHeight = paperHeight;
    PageRect area {margin, margin, paperWidth - 2 * margin, paperHeight - 2 * margin};
    if (area.width <= 0 || area.height <= 0)
        area = {0, 0, paperWidth, paperHeight};

    const double across = area.width / width, down = area.height / height;
    switch (layout.fit) {
    case FitMode::Into:
        page.picture = Centred(area, width, height, std::min(across, down));
        break;
    case FitMode::Fill:
        page.picture = Centred(area, width, height, std::max(across, down));
        page.clipped = true;
        page.clip = area;
        break;
    case FitMode::Shrink:
        page.picture = Centred(area, width, height, std::min({1.0, across, down}));
        break;
    }
    return page;
}

}  // namespace jpeg2pdf
