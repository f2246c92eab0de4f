// SPDX-License-Identifier: GPL-2.0-or-later
#include "FlatJpeg.h"

namespace {

void Segment(std::string* out, char marker, const std::string& payload)
{
    const size_t length = payload.size() + 2;
    *out += {'\xFF', marker, static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)};
    *out += payload;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

} // namespace

std::string MakeFlatGreyJpeg(int width, int height, bool progressive)
{
    const long blocks = static_cast<long>((width + 7) / 8) * ((height + 7) / 8);
    std::string out = "\xFF\xD8";
    // Every quantiser 1, so a block's DC is 8 x (its mean sample - 128): 576 for 200.
    Segment(&out, '\xDB', std::string(1, '\0') + std::string(64, '\1'));
    Segment(&out, progressive ? '\xC2' : '\xC0', Bytes({8, height >> 8, height & 0xFF, width >> 8, width & 0xFF, 1, 1, 0x11, 0}));
    // DC: a difference of 0 is '0', category 10 is '10'. AC: the end of block is '0'.
    Segment(&out, '\xC4', Bytes({0x00, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10}));
    Segment(&out, '\xC4', Bytes({0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00}));
    Segment(&out, '\xDA', Bytes({1, 1, 0x00, 0, progressive ? 0 : 63, 0}));
    // The first block: '10' and 1001000000 (576), then '0' for its end in the sequential scan.
    // Every later block is a zero difference and, sequential, its end: all zero bits.
    const long bits = progressive ? 12 + (blocks - 1) : 13 + 2 * (blocks - 1);
    std::string scan(static_cast<size_t>((bits + 7) / 8), '\0');
    scan[0] = '\xA4';
    scan.back() = static_cast<char>(scan.back() | ((1 << ((8 - bits % 8) % 8)) - 1)); // padded with ones
    return out + scan + "\xFF\xD9";
}
