// SPDX-License-Identifier: GPL-2.0-or-later
// Hand-made JPEG byte sequences for the engine tests: just enough structure for the frame probe.
#pragma once

#include <cstdint>
#include <string>

namespace engine_test {

inline std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

// A frame header segment (marker, length, precision, height, width, components, component specs).
inline std::string FrameHeader(int width, int height, int components, int marker = 0xC0, int precision = 8)
{
    const int length = 8 + 3 * components;
    std::string out = Bytes({0xFF, marker, length >> 8, length & 0xFF, precision, height >> 8, height & 0xFF,
                             width >> 8, width & 0xFF, components});
    for (int c = 1; c <= components; ++c)
        out += Bytes({c, 0x11, 0});
    return out;
}

inline std::string Segment(int marker, const std::string& payload)
{
    const int length = static_cast<int>(payload.size()) + 2;
    return Bytes({0xFF, marker, length >> 8, length & 0xFF}) + payload;
}

// SOI, a frame header, then filler up to `totalSize` bytes (the probe never looks past the header).
inline std::string JpegOfSize(int width, int height, int components, size_t totalSize)
{
    std::string out = Bytes({0xFF, 0xD8}) + FrameHeader(width, height, components);
    out.resize(totalSize, '\0');
    return out;
}

}  // namespace engine_test
