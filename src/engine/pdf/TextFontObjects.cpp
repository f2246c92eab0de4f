// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextFontObjects.h"

#include <zlib.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "BlankFontProgram.h"
#include "PdfObjects.h"
#include "ToUnicodeMap.h"

namespace jpeg2pdf {

namespace {

constexpr std::string_view kFontName = "/LeafbindBlank";

std::string Reference(int64_t number) { return PdfNumber(static_cast<double>(number)) + " 0 R"; }

bool WriteDictionary(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::string& dictionary)
{
    return BeginObject(out, offsets, number) && WriteText(out, dictionary) && WriteText(out, "\nendobj\n");
}

bool WriteStream(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::string& entries,
                 std::string_view data, bool eolBeforeEndstream)
{
    return BeginObject(out, offsets, number) && WriteText(out, "<<\n") && WriteText(out, entries)
           && WriteText(out, "/Length ") && WriteNumber(out, static_cast<int64_t>(data.size()))
           && WriteText(out, " >>\nstream\n") && WriteText(out, data) && EndStreamObject(out, eolBeforeEndstream);
}

// Code 0 is never shown; every other code in use draws glyph 1, the blank one.
std::vector<Bytef> GlyphMap(size_t codesInUse)
{
    std::vector<Bytef> map(2 * (codesInUse + 1), 0);
    for (size_t code = 1; code <= codesInUse; ++code)
        map[2 * code + 1] = 1;
    return map;
}

}  // namespace

bool WriteTextFont(OutputFile& out, ObjectOffsets& offsets, const TextFontNumbers& numbers, const TextCodes& codes,
                   bool eolBeforeEndstream)
{
    const std::string width = PdfNumber(kBlankGlyphWidth);
    const std::string font = "<<\n/Type /Font\n/Subtype /Type0\n/BaseFont " + std::string(kFontName)
        + "\n/Encoding /Identity-H\n/DescendantFonts [" + Reference(numbers.descendant) + "]\n/ToUnicode "
        + Reference(numbers.toUnicode) + "\n>>";
    const std::string descendant = "<<\n/Type /Font\n/Subtype /CIDFontType2\n/BaseFont " + std::string(kFontName)
        + "\n/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>\n/FontDescriptor "
        + Reference(numbers.descriptor) + "\n/DW " + width + "\n/CIDToGIDMap " + Reference(numbers.glyphMap) + "\n>>";
    // Symbolic (4) and fixed-pitch (1): its glyphs are no standard character set's.
    const std::string descriptor = "<<\n/Type /FontDescriptor\n/FontName " + std::string(kFontName)
        + "\n/Flags 5\n/FontBBox [0 " + PdfNumber(kBlankDescent) + " " + width + " " + PdfNumber(kBlankAscent)
        + "]\n/ItalicAngle 0\n/Ascent " + PdfNumber(kBlankAscent) + "\n/Descent " + PdfNumber(kBlankDescent)
        + "\n/CapHeight " + PdfNumber(kBlankAscent) + "\n/StemV 80\n/FontFile2 " + Reference(numbers.program) + "\n>>";
    const std::string& program = BlankFontProgram();

    // Two bytes for every code in use, nearly all alike: compressed, it stays small however many.
    const std::vector<Bytef> map = GlyphMap(codes.Characters().size());
    uLongf size = compressBound(static_cast<uLong>(map.size()));
    std::vector<Bytef> compressed(size);
    if (compress2(compressed.data(), &size, map.data(), static_cast<uLong>(map.size()), Z_BEST_COMPRESSION) != Z_OK)
        return out.Fail(false, ENOMEM);

    return WriteDictionary(out, offsets, numbers.font, font)
           && WriteDictionary(out, offsets, numbers.descendant, descendant)
           && WriteDictionary(out, offsets, numbers.descriptor, descriptor)
           && WriteStream(out, offsets, numbers.program,
                          "/Length1 " + PdfNumber(static_cast<double>(program.size())) + "\n", program,
                          eolBeforeEndstream)
           && WriteStream(out, offsets, numbers.glyphMap, "/Filter /FlateDecode\n",
                          std::string_view(reinterpret_cast<const char*>(compressed.data()), size), eolBeforeEndstream)
           && WriteStream(out, offsets, numbers.toUnicode, "", ToUnicodeCMap(codes.Characters()), eolBeforeEndstream);
}

}  // namespace jpeg2pdf
