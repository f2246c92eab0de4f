// SPDX-License-Identifier: GPL-2.0-or-later
#include "FlatJpeg.h"

#include <cstdint>

namespace {

class BitWriter {
public:
    explicit BitWriter(std::string* out) : out_(out) {}
    void Put(uint32_t bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = static_cast<uint8_t>(byte_ << 1 | (bits >> i & 1));
            if (++filled_ == 8)
                Flush();
        }
    }
    void PadWithOnes()
    {
        while (filled_ != 0)
            Put(1, 1);
    }

private:
    void Flush()
    {
        out_->push_back(static_cast<char>(byte_));
        if (byte_ == 0xFF)
            out_->push_back('\0'); // stuffed byte
        byte_ = 0;
        filled_ = 0;
    }
    std::string* out_;
    uint8_t byte_ = 0;
    int filled_ = 0;
};

void Segment(std::string* out, uint8_t marker, const std::string& payload)
{
    const size_t length = payload.size() + 2;
    *out += {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)};
    *out += payload;
}

// A Huffman table holding one symbol of length 1 ('0') and optionally one of length 2 ('10').
std::string HuffmanTable(int tableClass, uint8_t shortSymbol, int longSymbol)
{
    std::string counts(16, '\0');
    counts[0] = 1;
    std::string symbols(1, static_cast<char>(shortSymbol));
    if (longSymbol >= 0) {
        counts[1] = 1;
        symbols.push_back(static_cast<char>(longSymbol));
    }
    return std::string(1, static_cast<char>(tableClass << 4)) + counts + symbols;
}

int BitLength(uint32_t value)
{
    int n = 0;
    while (value >> n)
        ++n;
    return n;
}

} // namespace

std::string MakeFlatGreyJpeg(int width, int height, int grey, bool progressive)
{
    // With every quantiser 1 a block's DC is 8 times its mean sample less 128.
    const int dc = (grey - 128) * 8;
    const uint32_t magnitude = static_cast<uint32_t>(dc < 0 ? -dc : dc);
    const int category = BitLength(magnitude);
    const uint32_t dcBits = dc < 0 ? ((1u << category) - 1) - magnitude : magnitude;
    const long blocks = static_cast<long>((width + 7) / 8) * ((height + 7) / 8);

    std::string out = "\xFF\xD8";
    Segment(&out, 0xDB, std::string(1, '\0') + std::string(64, '\1'));
    Segment(&out, progressive ? 0xC2 : 0xC0,
            {8, static_cast<char>(height >> 8), static_cast<char>(height & 0xFF), static_cast<char>(width >> 8),
             static_cast<char>(width & 0xFF), 1, 1, 0x11, 0});
    // DC: difference 0 is '0', the first block's category is '10'.
    Segment(&out, 0xC4, HuffmanTable(0, 0, category == 0 ? -1 : category));

    const auto firstDc = [&](BitWriter& bits) {
        if (category == 0) {
            bits.Put(0, 1);
        } else {
            bits.Put(2, 2);
            bits.Put(dcBits, category);
        }
    };
    if (!progressive) {
        Segment(&out, 0xC4, HuffmanTable(1, 0x00, -1)); // end of block is '0'
        Segment(&out, 0xDA, {1, 1, 0x00, 0, 63, 0});
        BitWriter bits(&out);
        firstDc(bits);
        bits.Put(0, 1);
        for (long b = 1; b < blocks; ++b)
            bits.Put(0, 2);
        bits.PadWithOnes();
    } else {
        Segment(&out, 0xDA, {1, 1, 0x00, 0, 0, 0});
        BitWriter dcBitsOut(&out);
        firstDc(dcBitsOut);
        for (long b = 1; b < blocks; ++b)
            dcBitsOut.Put(0, 1);
        dcBitsOut.PadWithOnes();
        // AC: runs of 16,384 empty bands ('0', EOB14 with extra bits 0), then the rest in one run.
        const long full = blocks / 16384;
        const long rest = blocks % 16384;
        const int restBits = rest ? BitLength(static_cast<uint32_t>(rest)) - 1 : 0;
        Segment(&out, 0xC4, HuffmanTable(1, 0xE0, rest ? restBits << 4 : -1));
        Segment(&out, 0xDA, {1, 1, 0x00, 1, 63, 0});
        BitWriter acBits(&out);
        for (long r = 0; r < full; ++r) {
            acBits.Put(0, 1);
            acBits.Put(0, 14);
        }
        if (rest) {
            acBits.Put(2, 2);
            acBits.Put(static_cast<uint32_t>(rest - (1L << restBits)), restBits);
        }
        acBits.PadWithOnes();
    }
    out += "\xFF\xD9";
    return out;
}
