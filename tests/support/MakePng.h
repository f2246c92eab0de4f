// SPDX-License-Identifier: GPL-2.0-or-later
// PNG files written chunk by chunk with zlib, for exact control of every byte: the rows filtered
// with all five filter types in turn, the image data split into several IDAT chunks, and any
// chunk added, left out or damaged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngSpec {
    int width = 37;
    int height = 23;
    int depth = 8;
    int colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha
    int interlace = 0;  // 1 only marks the header: the rows stay in plain order
    int dataChunks = 3;  // the compressed rows split into this many IDAT chunks
    std::string beforeData;  // whole chunks (see PngChunk) after IHDR, before PLTE
    std::string betweenData;  // whole chunks after the first IDAT (splitting the data)
};

// One chunk: length, type, payload and its CRC.
std::string PngChunk(const std::string& type, const std::string& payload);

struct MadePng {
    std::string file;
    std::string data;  // the IDAT payloads joined
};

// Samples from a fixed pattern; for a palette, 2^depth entries of distinct colours.
MadePng MakePng(const PngSpec& spec);

// An iCCP chunk carrying `profile` under `name`, deflated.
std::string IccpChunk(const std::string& profile, const std::string& name = "icc");

// A pHYs chunk: pixels per unit across and down, and the unit (1: metre, 0: aspect only).
std::string PhysChunk(uint32_t x, uint32_t y, int unit);
