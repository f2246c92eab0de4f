// SPDX-License-Identifier: GPL-2.0-or-later
#include "MakePng.h"

#include <zlib.h>

#include <cstdlib>
#include <span>

namespace {

std::string Big32(uint32_t v)
{ return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)}; }

std::string Deflated(const std::string& bytes)
{
    uLongf size = compressBound(bytes.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 9);
    out.resize(size);
    return out;
}

// Row y's bytes filtered with type y % 5, led by the type.
std::string Filtered(const std::string& row, const std::string& above, int y, size_t step)
{
    const int type = y % 5;
    std::string out(1, static_cast<char>(type));
    for (size_t i = 0; i < row.size(); ++i) {
        const int x = static_cast<uint8_t>(row[i]);
        const int a = i >= step ? static_cast<uint8_t>(row[i - step]) : 0;
        const int b = static_cast<uint8_t>(above[i]);
        const int c = i >= step ? static_cast<uint8_t>(above[i - step]) : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        const int predicted = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2 : type == 4 ? paeth : 0;
        out += static_cast<char>(x - predicted);
    }
    return out;
}

}  // namespace

std::string PngChunk(const std::string& type, const std::string& payload)
{
    const std::string body = type + payload;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
    return Big32(static_cast<uint32_t>(payload.size())) + body + Big32(static_cast<uint32_t>(crc));
}

MadePng MakePng(const PngRecipe& recipe)
{
    const int samples = recipe.colourType == 2 ? 3 : recipe.colourType == 4 ? 2 : recipe.colourType == 6 ? 4 : 1;
    const int bits = samples * recipe.depth;
    const size_t step = bits >= 8 ? bits / 8 : 1;
    const uint32_t most = (1u << recipe.depth) - 1;
    // Adam7's passes: first column and row, and the steps between them; one pass of every pixel without.
    struct Pass { int x0, y0, dx, dy; };
    static constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static constexpr Pass kWhole[] = {{0, 0, 1, 1}};
    std::string raw;
    for (const Pass& pass : recipe.interlace ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWhole)) {
        const int columns = (recipe.width - pass.x0 + pass.dx - 1) / pass.dx;
        if (columns <= 0 || pass.y0 >= recipe.height)
            continue;
        const size_t rowBytes = (static_cast<size_t>(columns) * bits + 7) / 8;
        std::string above(rowBytes, '\0');
        for (int y = pass.y0, n = 0; y < recipe.height; y += pass.dy, ++n) {
            std::string row(rowBytes, '\0');
            for (int i = 0; i < columns; ++i) {
                const int x = pass.x0 + i * pass.dx;
                for (int s = 0; s < samples; ++s) {
                    // Every value of a low depth, and 16-bit values whose low byte is not the high one.
                    const uint32_t value = (static_cast<uint32_t>(x * 7 + y * 13 + s * 5) * (recipe.depth == 16 ? 331 : 1)) & most;
                    const size_t bit = (static_cast<size_t>(i) * samples + s) * recipe.depth;
                    if (recipe.depth == 16) {
                        row[bit / 8] = static_cast<char>(value >> 8);
                        row[bit / 8 + 1] = static_cast<char>(value);
                    } else {
                        row[bit / 8] = static_cast<char>(row[bit / 8] | value << (8 - recipe.depth - bit % 8));
                    }
                }
            }
            raw += Filtered(row, above, n, step);
            above = row;
        }
    }
    std::string header = Big32(recipe.width) + Big32(recipe.height);
    header += {static_cast<char>(recipe.depth), static_cast<char>(recipe.colourType), 0, 0, static_cast<char>(recipe.interlace)};
    MadePng png;
    png.file = std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", header) + recipe.beforeData;
    if (recipe.colourType == 3) {
        std::string palette;
        for (uint32_t i = 0; i <= most; ++i)
            palette += {static_cast<char>(i * 37 + 11), static_cast<char>(i * 91 + 200), static_cast<char>(i * 151)};
        png.file += PngChunk("PLTE", palette);
    }
    png.file += recipe.afterPalette;
    png.data = Deflated(raw);
    const size_t part = png.data.size() / recipe.dataChunks + 1;
    for (size_t at = 0, n = 0; at < png.data.size(); at += part, ++n) {
        png.file += PngChunk("IDAT", png.data.substr(at, part));
        if (n == 0)
            png.file += recipe.betweenData;
    }
    png.file += PngChunk("IEND", "");
    return png;
}

std::string IccpChunk(const std::string& profile, const std::string& name)
{ return PngChunk("iCCP", name + std::string(2, '\0') + Deflated(profile)); }

std::string PhysChunk(uint32_t x, uint32_t y, int unit)
{ return PngChunk("pHYs", Big32(x) + Big32(y) + std::string(1, static_cast<char>(unit))); }
