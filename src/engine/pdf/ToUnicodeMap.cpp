// SPDX-License-Identifier: GPL-2.0-or-later
#include "ToUnicodeMap.h"

#include <algorithm>
#include <string_view>

namespace jpeg2pdf {

namespace {

// A CMap may hold at most 100 mappings between one beginbfchar and its endbfchar.
constexpr size_t kMappingsPerBlock = 100;

void AppendHex16(std::string& out, unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

void AppendUtf16(std::string& out, char32_t character)
{
    if (character < 0x10000) {
        AppendHex16(out, static_cast<unsigned>(character));
        return;
    }
    const char32_t offset = character - 0x10000;
    AppendHex16(out, static_cast<unsigned>(0xD800 + (offset >> 10)));
    AppendHex16(out, static_cast<unsigned>(0xDC00 + (offset & 0x3FF)));
}

constexpr std::string_view kOpening = "/CIDInit /ProcSet findresource begin\n"
                                      "12 dict begin\n"
                                      "begincmap\n"
                                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                                      "/CMapName /Adobe-Identity-UCS def\n"
                                      "/CMapType 2 def\n"
                                      "1 begincodespacerange\n"
                                      "<0000> <FFFF>\n"
                                      "endcodespacerange\n";
constexpr std::string_view kClosing = "endcmap\n"
                                      "CMapName currentdict /CMap defineresource pop\n"
                                      "end\n"
                                      "end\n";

}  // namespace

std::string ToUnicodeCMap(const std::vector<char32_t>& characters)
{
    std::string cmap(kOpening);
    cmap.reserve(kOpening.size() + kClosing.size() + characters.size() * 18 + 32);
    for (size_t first = 0; first < characters.size(); first += kMappingsPerBlock) {
        const size_t count = std::min(kMappingsPerBlock, characters.size() - first);
        cmap += std::to_string(count);
        cmap += " beginbfchar\n";
        for (size_t i = first; i < first + count; ++i) {
            cmap += '<';
            AppendHex16(cmap, static_cast<unsigned>(i + 1));
            cmap += "> <";
            AppendUtf16(cmap, characters[i]);
            cmap += ">\n";
        }
        cmap += "endbfchar\n";
    }
    cmap += kClosing;
    return cmap;
}

}  // namespace jpeg2pdf
