// SPDX-License-Identifier: GPL-2.0-or-later
// PNG files written chunk by chunk with zlib, every byte known: rows filtered with all five
// filter types in turn, the data in several IDAT chunks, any chunk added where it is asked for.
#pragma once

#include <cstdint>
#include <string>

struct PngRecipe {
    int width = 37, height = 23, depth = 8;
    int colourType = 2;  // 0 grey, 2 RGB, 3 palette (2^depth colours), 4 grey + alpha, 6 RGB + alpha
    int interlace = 0;  // 1: Adam7, the seven passes each filtered on their own
    int dataChunks = 3;
    std::string beforeData;  // whole chunks after IHDR, before PLTE
    std::string afterPalette;  // whole chunks after PLTE (where it would be), before IDAT
    std::string betweenData;  // whole chunks after the first IDAT
};

struct MadePng {
    std::string file;
    std::string data;  // the IDAT payloads joined
};

MadePng MakePng(const PngRecipe& recipe);
// One chunk: length, type, payload and CRC.
std::string PngChunk(const std::string& type, const std::string& payload);
std::string IccpChunk(const std::string& profile, const std::string& name = "icc");
// Pixels per unit across and down; unit 1 is the metre, 0 gives an aspect only.
std::string PhysChunk(uint32_t x, uint32_t y, int unit);
