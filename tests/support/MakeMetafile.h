// SPDX-License-Identifier: GPL-2.0-or-later
// Small, valid Windows metafiles built byte by byte: a filled rectangle on a blank canvas.
#pragma once

#include <cstdint>
#include <string>

struct MetafileRecipe {
    int width = 200;   // canvas, in logical units (WMF) or device pixels (EMF)
    int height = 100;
    // The rectangle that is filled with the colour, in the same units.
    int left = 0, top = 0, right = 200, bottom = 100;
    uint8_t red = 220, green = 20, blue = 30;
};

// A placeable WMF (with the 22-byte header giving the canvas at 96 units per inch).
std::string MakeWmf(const MetafileRecipe& recipe);
// An EMF whose bounds are the canvas.
std::string MakeEmf(const MetafileRecipe& recipe);
