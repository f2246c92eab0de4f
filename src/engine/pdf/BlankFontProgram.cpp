// SPDX-License-Identifier: GPL-2.0-or-later
#include "BlankFontProgram.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace jpeg2pdf {

namespace {

constexpr int kGlyphCount = 2;

// Big-endian fields, as every TrueType table stores them.
class Table {
public:
    Table& U16(int value)
    {
        bytes_ += static_cast<char>((value >> 8) & 0xFF);
        bytes_ += static_cast<char>(value & 0xFF);
        return *this;
    }
    Table& U32(uint32_t value) { return U16(static_cast<int>(value >> 16)).U16(static_cast<int>(value & 0xFFFF)); }
    Table& Zeros(int count)
    {
        bytes_.append(static_cast<size_t>(count), '\0');
        return *this;
    }
    std::string Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

uint32_t Checksum(const std::string& bytes)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 4) {
        uint32_t word = 0;
        for (size_t j = 0; j < 4; ++j)
            word = (word << 8) | (i + j < bytes.size() ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        sum += word;
    }
    return sum;
}

std::string Head()
{
    return Table()
        .U32(0x00010000)  // version
        .U32(0x00010000)  // font revision
        .U32(0)  // checksum adjustment, set once the whole font is known
        .U32(0x5F0F3CF5)  // magic number
        .U16(0x0003)  // baseline at y = 0, left side bearing at x = 0
        .U16(1000)  // units per em
        .Zeros(16)  // created and modified: none, so the bytes never change
        .U16(0)
        .U16(kBlankDescent & 0xFFFF)
        .U16(kBlankGlyphWidth)
        .U16(kBlankAscent)  // the bounding box every glyph fits
        .U16(0)  // style
        .U16(3)  // smallest readable size in pixels
        .U16(2)  // glyph directions: left to right, with neutrals
        .U16(0)  // short offsets in loca
        .U16(0)  // glyph data format
        .Bytes();
}

std::string HorizontalHeader()
{
    return Table()
        .U32(0x00010000)
        .U16(kBlankAscent)
        .U16(kBlankDescent & 0xFFFF)
        .U16(0)  // line gap
        .U16(kBlankGlyphWidth)  // widest advance
        .Zeros(4)  // least left and right side bearings
        .U16(kBlankGlyphWidth)  // largest extent
        .U16(1)  // caret slope: upright
        .U16(0)
        .U16(0)  // caret offset
        .Zeros(8)
        .U16(0)  // metric data format
        .U16(1)  // one advance width, shared by every glyph
        .Bytes();
}

std::string MaximumProfile()
{
    return Table()
        .U32(0x00010000)
        .U16(kGlyphCount)
        .U16(2)  // points in a simple glyph
        .U16(1)  // contours in a simple glyph
        .Zeros(4)  // composite glyphs: none
        .U16(2)  // zones
        .Zeros(16)  // twilight points, storage, definitions, stack, instructions, components
        .Bytes();
}

std::string HorizontalMetrics()
{
    Table table;
    table.U16(kBlankGlyphWidth).U16(0);
    for (int glyph = 1; glyph < kGlyphCount; ++glyph)
        table.U16(0);  // left side bearing
    return table.Bytes();
}

// Glyph 1: one contour of two on-curve points, there and back along the box's diagonal.
std::string GlyphData()
{
    return Table()
        .U16(1)  // contours
        .U16(0)
        .U16(kBlankDescent & 0xFFFF)
        .U16(kBlankGlyphWidth)
        .U16(kBlankAscent)  // its box
        .U16(1)  // the contour's last point
        .U16(0)  // no instructions
        .U16(0x0101)  // both points on the curve, coordinates as 16-bit steps
        .U16(0)
        .U16(kBlankGlyphWidth)  // x steps
        .U16(kBlankDescent & 0xFFFF)
        .U16(kBlankAscent - kBlankDescent)  // y steps
        .Bytes();
}

// Short offsets (halved): .notdef has no data, glyph 1 all of it.
std::string GlyphLocations(size_t dataSize)
{
    return Table().U16(0).U16(0).U16(static_cast<int>(dataSize / 2)).Bytes();
}

std::string Assemble()
{
    // In tag order, as the table directory must list them.
    const std::string glyphData = GlyphData();
    const std::vector<std::pair<const char*, std::string>> tables = {
        {"glyf", glyphData},
        {"head", Head()},
        {"hhea", HorizontalHeader()},
        {"hmtx", HorizontalMetrics()},
        {"loca", GlyphLocations(glyphData.size())},
        {"maxp", MaximumProfile()},
    };
    const int count = static_cast<int>(tables.size());
    int power = 1, log2 = 0;
    while (power * 2 <= count)
        power *= 2, ++log2;
    Table directory;
    directory.U32(0x00010000).U16(count).U16(power * 16).U16(log2).U16((count - power) * 16);
    std::string body;
    size_t offset = 12 + 16 * tables.size(), headOffset = 0;
    for (const auto& [tag, bytes] : tables) {
        if (std::string(tag) == "head")
            headOffset = offset + body.size();
        directory.U32((uint32_t(tag[0]) << 24) | (uint32_t(tag[1]) << 16) | (uint32_t(tag[2]) << 8) | uint32_t(tag[3]))
            .U32(Checksum(bytes))
            .U32(static_cast<uint32_t>(offset + body.size()))
            .U32(static_cast<uint32_t>(bytes.size()));
        body += bytes;
        body.append((4 - bytes.size() % 4) % 4, '\0');
    }
    std::string font = directory.Bytes() + body;
    const uint32_t adjustment = 0xB1B0AFBA - Checksum(font);
    for (int i = 0; i < 4; ++i)
        font[headOffset + 8 + static_cast<size_t>(i)] = static_cast<char>((adjustment >> (24 - 8 * i)) & 0xFF);
    return font;
}

}  // namespace

const std::string& BlankFontProgram()
{
    static const std::string font = Assemble();
    return font;
}

}  // namespace jpeg2pdf
