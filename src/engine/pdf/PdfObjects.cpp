// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfObjects.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <string>

#include "JpegStripper.h"
#include "PdfAObjects.h"

namespace jpeg2pdf {

namespace {

// Cross-reference entries hold offsets as ten digits; a file that needs more cannot be indexed.
constexpr int64_t kLargestOffset = 9'999'999'999;

std::string Decimal(int64_t number)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    return std::string(digits, result.ptr);
}

bool WriteTenDigits(OutputFile& out, int64_t number)
{
    char digits[10];
    for (int i = 9; i >= 0; --i, number /= 10)
        digits[i] = static_cast<char>('0' + number % 10);
    return WriteText(out, std::string_view(digits, sizeof digits));
}

std::string_view ColourSpaceName(ImageColour colour)
{
    switch (colour) {
    case ImageColour::Gray:
        return "/DeviceGray";
    case ImageColour::Cmyk:
        return "/DeviceCMYK";
    case ImageColour::Rgb:
        break;
    }
    return "/DeviceRGB";
}

bool WriteImageColourSpace(OutputFile& out, const PagePlan& plan)
{
    if (plan.profileObject == 0) {
        if (!WriteText(out, "/ColorSpace ") || !WriteText(out, ColourSpaceName(plan.colour)) || !WriteText(out, "\n"))
            return false;
    } else if (!WriteText(out, "/ColorSpace [/ICCBased ") || !WriteNumber(out, plan.profileObject)
               || !WriteText(out, " 0 R]\n")) {
        return false;
    }
    // CMYK JPEGs are stored inverted (Adobe convention); the decode array turns them back.
    return plan.colour != ImageColour::Cmyk || WriteText(out, "/Decode[1 0 1 0 1 0 1 0]\n");
}

}  // namespace

std::string ImageColourSpace(const PagePlan& plan)
{
    std::string base = plan.profileObject != 0 ? "[/ICCBased " + Decimal(plan.profileObject) + " 0 R]"
                                               : std::string(ColourSpaceName(plan.colour));
    if (plan.coding.palette.empty())
        return base;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(plan.coding.palette.size() * 2);
    for (uint8_t byte : plan.coding.palette) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return "[/Indexed " + base + " " + Decimal(static_cast<int64_t>(plan.coding.palette.size() / 3) - 1) + " <"
        + hex + ">]";
}

std::string KeyMaskEntry(const ImageCoding& coding)
{
    if (coding.keyMask.empty())
        return {};
    std::string text = "/Mask [";
    for (int value : coding.keyMask)
        text += " " + Decimal(value);
    return text + " ]\n";
}

namespace {

// A PNG's IDAT payloads joined, as they are in the file: zlib data of rows, each row led by its
// filter type, which the PNG predictors (15: chosen row by row) undo.
bool WritePngImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                         const InputFile& png, bool eolBeforeEndstream)
{
    const ImageCoding& coding = plan.coding;
    const int64_t length = coding.Length();
    const std::string bits = Decimal(coding.bitsPerComponent);
    if (!BeginObject(out, offsets, objectNumber)
        || !WriteText(out, "<<\n/Type /XObject\n/Subtype /Image\n/Name /Im0\n/Width ")
        || !WriteNumber(out, plan.imageWidth) || !WriteText(out, "\n/Height ") || !WriteNumber(out, plan.imageHeight)
        || !WriteText(out, "\n/BitsPerComponent " + bits + "\n/Filter /FlateDecode\n/DecodeParms << /Predictor 15 /Colors ")
        || !WriteNumber(out, coding.colours) || !WriteText(out, " /BitsPerComponent " + bits + " /Columns ")
        || !WriteNumber(out, plan.imageWidth)
        || !WriteText(out, " >>\n/ColorSpace " + ImageColourSpace(plan) + "\n" + KeyMaskEntry(coding) + "/Length ")
        || !(plan.lengthObject != 0 ? WriteNumber(out, plan.lengthObject) && WriteText(out, " 0 R")
                                    : WriteNumber(out, length))
        || !WriteText(out, " >>\nstream\n"))
        return false;
    for (const FileRange& range : coding.ranges) {
        if (!out.CopyRange(png, range.offset, range.length))
            return false;
    }
    if (!EndStreamObject(out, eolBeforeEndstream))
        return false;
    // With stripped JPEG pages every image's length is an object of its own; a PNG's is known.
    return plan.lengthObject == 0
        || (BeginObject(out, offsets, plan.lengthObject) && WriteNumber(out, length) && WriteText(out, "\nendobj\n"));
}

// The filter and its parameters for a TIFF page's copied data, up to the colour space.
std::string TiffFilter(const PagePlan& plan)
{
    const ImageCoding& coding = plan.coding;
    const std::string bits = Decimal(coding.bitsPerComponent);
    switch (coding.kind) {
    case ImageCodingKind::TiffFax:
    case ImageCodingKind::TiffFaxRecoded: {
        const FaxCoding& fax = coding.fax;
        return "/Filter /CCITTFaxDecode\n/DecodeParms << /K " + Decimal(fax.k) + " /Columns " + Decimal(plan.imageWidth)
            + " /Rows " + Decimal(plan.imageHeight) + (fax.blackIs1 ? " /BlackIs1 true" : "")
            + (fax.encodedByteAlign ? " /EncodedByteAlign true" : "") + (fax.endOfLine ? " /EndOfLine true" : "")
            + " >>\n";
    }
    case ImageCodingKind::TiffDct:
        return coding.colourTransformOff ? "/Filter /DCTDecode\n/DecodeParms << /ColorTransform 0 >>\n"
                                         : "/Filter /DCTDecode\n";
    default:
        break;
    }
    if (coding.predictor != 2)
        return "/Filter /FlateDecode\n";
    return "/Filter /FlateDecode\n/DecodeParms << /Predictor 2 /Colors " + Decimal(coding.colours)
        + " /BitsPerComponent " + bits + " /Columns " + Decimal(plan.imageWidth) + " >>\n";
}

// Copies `length` bytes of `input` from `offset` on with each byte's bits in reverse order.
bool CopyReversingBits(OutputFile& out, const InputFile& input, int64_t offset, int64_t length)
{
    static const auto kReversed = [] {
        std::array<char, 256> table {};
        for (int byte = 0; byte < 256; ++byte) {
            int reversed = 0;
            for (int bit = 0; bit < 8; ++bit)
                reversed |= (byte >> bit & 1) << (7 - bit);
            table[static_cast<size_t>(byte)] = static_cast<char>(reversed);
        }
        return table;
    }();
    std::array<char, 65536> block;
    for (int64_t done = 0; done < length;) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(block.size(), length - done));
        const int64_t got = input.ReadAt(offset + done, block.data(), count);
        if (got <= 0)
            return out.Fail(true, got < 0 ? errno : 0);
        for (int64_t i = 0; i < got; ++i)
            block[static_cast<size_t>(i)] = kReversed[static_cast<uint8_t>(block[static_cast<size_t>(i)])];
        if (!out.Write(std::string_view(block.data(), static_cast<size_t>(got))))
            return false;
        done += got;
    }
    return true;
}

// A TIFF page's strip as it is in the file (after `head`, its bits reversed where asked): CCITT,
// JPEG or Deflate data, and the parameters its filter needs.
bool WriteTiffImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                          const InputFile& tiff, bool eolBeforeEndstream)
{
    const ImageCoding& coding = plan.coding;
    const int64_t length = coding.Length();
    if (!BeginObject(out, offsets, objectNumber)
        || !WriteText(out, "<<\n/Type /XObject\n/Subtype /Image\n/Name /Im0\n/Width ")
        || !WriteNumber(out, plan.imageWidth) || !WriteText(out, "\n/Height ") || !WriteNumber(out, plan.imageHeight)
        || !WriteText(out, "\n/BitsPerComponent " + Decimal(coding.bitsPerComponent) + "\n" + TiffFilter(plan))
        || !WriteText(out, "/ColorSpace " + ImageColourSpace(plan) + "\n")
        || (coding.inverted && !WriteText(out, "/Decode [1 0]\n")) || !WriteText(out, "/Length ")
        || !(plan.lengthObject != 0 ? WriteNumber(out, plan.lengthObject) && WriteText(out, " 0 R")
                                    : WriteNumber(out, length))
        || !WriteText(out, " >>\nstream\n"))
        return false;
    if (!coding.head.empty()
        && !out.Write(std::string_view(reinterpret_cast<const char*>(coding.head.data()), coding.head.size())))
        return false;
    for (const FileRange& range : coding.ranges) {
        if (!(coding.reverseBits ? CopyReversingBits(out, tiff, range.offset, range.length)
                                 : out.CopyRange(tiff, range.offset, range.length)))
            return false;
    }
    if (!EndStreamObject(out, eolBeforeEndstream))
        return false;
    return plan.lengthObject == 0
        || (BeginObject(out, offsets, plan.lengthObject) && WriteNumber(out, length) && WriteText(out, "\nendobj\n"));
}

}  // namespace

std::string PdfNumber(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return Decimal(static_cast<int64_t>(value));
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
    std::string text(digits, result.ptr);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

bool WriteText(OutputFile& out, std::string_view text) { return out.Write(text); }

bool WriteNumber(OutputFile& out, int64_t number) { return WriteText(out, Decimal(number)); }

bool WriteReal(OutputFile& out, double value) { return WriteText(out, PdfNumber(value)); }

bool BeginObject(OutputFile& out, ObjectOffsets& offsets, int64_t number)
{
    if (out.Position() > kLargestOffset)
        return out.Fail(false, EFBIG);
    offsets.at(static_cast<size_t>(number - 1)) = out.Position();
    return WriteNumber(out, number) && WriteText(out, " 0 obj\n");
}

bool EndStreamObject(OutputFile& out, bool eolBeforeEndstream)
{
    return (!eolBeforeEndstream || WriteText(out, "\n")) && WriteText(out, "endstream\nendobj\n");
}

bool WriteHeader(OutputFile& out, int versionMinor, bool binaryComment)
{
    return WriteText(out, "%PDF-1.") && WriteNumber(out, versionMinor) && WriteText(out, "\n")
           && (!binaryComment || WriteText(out, kBinaryCommentLine));
}

bool WriteCatalog(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& extraEntries)
{
    if (!BeginObject(out, offsets, 1)
        || !WriteText(out, "<<\n/Type /Catalog\n/Pages 2 0 R\n/OpenAction [3 0 R /XYZ -32768 -32768 1 ]\n"))
        return false;
    for (const std::string& entry : extraEntries) {
        if (!WriteText(out, entry) || !WriteText(out, "\n"))
            return false;
    }
    return WriteText(out, ">>\nendobj\n");
}

bool WritePageTree(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers)
{
    if (!BeginObject(out, offsets, 2) || !WriteText(out, "<<\n/Type /Pages\n/Kids [ "))
        return false;
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WriteNumber(out, numbers.Page(i)) || !WriteText(out, " 0 R "))
            return false;
    }
    return WriteText(out, "]\n/Count ") && WriteNumber(out, numbers.pageCount) && WriteText(out, "\n>>\nendobj\n");
}

bool WritePageObject(OutputFile& out, ObjectOffsets& offsets, const ObjectNumbers& numbers, int64_t page,
                     const PagePlan& plan, const PageObjectExtras& extras)
{
    const bool gray = plan.colour == ImageColour::Gray;
    std::string_view procSet = gray ? " 0 R >>\n/ProcSet [ /PDF /ImageB ]\n" : " 0 R >>\n/ProcSet [ /PDF /ImageC ]\n";
    std::string font;
    if (extras.textFont != 0) {
        font = " 0 R >>\n/Font << " + std::string(kTextFontResource) + " " + Decimal(extras.textFont);
        procSet = gray ? " 0 R >>\n/ProcSet [ /PDF /Text /ImageB ]\n" : " 0 R >>\n/ProcSet [ /PDF /Text /ImageC ]\n";
    }
    const int turns = extras.quarterTurns & 3;
    return BeginObject(out, offsets, numbers.Page(page))
           && WriteText(out, "<<\n/Type /Page\n/Parent 2 0 R\n/Resources\n<<\n/XObject << /Im0 ")
           && WriteNumber(out, numbers.Image(page)) && WriteText(out, font) && WriteText(out, procSet)
           && WriteText(out, ">>\n/MediaBox [ 0 0 ") && WriteReal(out, plan.pageWidth) && WriteText(out, " ")
           && WriteReal(out, plan.pageHeight) && WriteText(out, " ]\n")
           && (turns == 0 || (WriteText(out, "/Rotate ") && WriteNumber(out, 90 * turns) && WriteText(out, "\n")))
           && WriteText(out, "/Contents ") && WriteNumber(out, numbers.Contents(page))
           && WriteText(out, " 0 R\n>>\nendobj\n");
}

bool WriteImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                      const InputFile& jpeg, ImageData data, bool eolBeforeEndstream)
{
    if (plan.coding.kind == ImageCodingKind::PngFlate)
        return WritePngImageObject(out, offsets, objectNumber, plan, jpeg, eolBeforeEndstream);
    if (plan.coding.kind != ImageCodingKind::Dct)
        return WriteTiffImageObject(out, offsets, objectNumber, plan, jpeg, eolBeforeEndstream);
    if (!BeginObject(out, offsets, objectNumber)
        || !WriteText(out, "<<\n/Type /XObject\n/Subtype /Image\n/Name /Im0\n/Width ")
        || !WriteNumber(out, plan.imageWidth) || !WriteText(out, "\n/Height ") || !WriteNumber(out, plan.imageHeight)
        || !WriteText(out, "\n/BitsPerComponent 8\n/Filter [/DCTDecode]\n") || !WriteImageColourSpace(out, plan)
        || !WriteText(out, "/Length "))
        return false;
    if (data == ImageData::WholeFile) {
        // The size is taken now, not at validation: the file is copied as it is at this moment.
        const int64_t size = jpeg.Size();
        return WriteNumber(out, size) && WriteText(out, " >>\nstream\n") && out.CopyFrom(jpeg, size)
               && EndStreamObject(out, eolBeforeEndstream);
    }
    // Copied while walked, so each file is read once; the length follows the stream.
    if (!WriteNumber(out, plan.lengthObject) || !WriteText(out, " 0 R >>\nstream\n"))
        return false;
    const int64_t start = out.Position();
    if (CopyJpegStripped(jpeg, out) < 0)
        return false;
    const int64_t length = out.Position() - start;
    return EndStreamObject(out, eolBeforeEndstream) && BeginObject(out, offsets, plan.lengthObject)
           && WriteNumber(out, length) && WriteText(out, "\nendobj\n");
}

bool WriteContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                        bool eolBeforeEndstream, std::string_view underlay, const std::array<double, 6>* turn)
{
    std::string content(underlay);
    if (turn) {
        // Turned about the centre, the picture's corners would reach past the page.
        content += "q\n0 0 " + PdfNumber(plan.pageWidth) + " " + PdfNumber(plan.pageHeight) + " re W n\n";
        for (double value : *turn)
            content += PdfNumber(value) + " ";
        content += "cm\n";
    }
    content += "q\n";
    if (plan.clipped) {
        for (double value : {plan.clip.x, plan.clip.y, plan.clip.width, plan.clip.height})
            content += PdfNumber(value) + " ";
        content += "re W n\n";
    }
    for (double value : plan.placement)
        content += PdfNumber(value) + " ";
    content += "cm\n/Im0 Do\nQ\n";
    if (turn)
        content += "Q\n";
    return BeginObject(out, offsets, objectNumber) && WriteText(out, "<< /Length ")
           && WriteNumber(out, static_cast<int64_t>(content.size())) && WriteText(out, " >>\nstream\n")
           && WriteText(out, content) && EndStreamObject(out, eolBeforeEndstream);
}

bool WriteXrefSection(OutputFile& out, ObjectOffsets& offsets, int64_t objectCount)
{
    if (out.Position() > kLargestOffset)
        return out.Fail(false, EFBIG);
    offsets.at(static_cast<size_t>(objectCount)) = out.Position();
    if (!WriteText(out, "xref\n0 ") || !WriteNumber(out, objectCount + 1)
        || !WriteText(out, "\n0000000000 65535 f \n"))
        return false;
    for (int64_t i = 0; i < objectCount; ++i) {
        if (!WriteTenDigits(out, offsets.at(static_cast<size_t>(i))) || !WriteText(out, " 00000 n \n"))
            return false;
    }
    return true;
}

bool WriteTrailer(OutputFile& out, int64_t xrefEntryCount, int64_t xrefOffset,
                  const std::vector<std::string>& extraEntries)
{
    if (!WriteText(out, "trailer\n<<\n/Size ") || !WriteNumber(out, xrefEntryCount) || !WriteText(out, "\n/Root 1 0 R\n"))
        return false;
    for (const std::string& entry : extraEntries) {
        if (!WriteText(out, entry) || !WriteText(out, "\n"))
            return false;
    }
    return WriteText(out, ">>\nstartxref\n") && WriteNumber(out, xrefOffset) && WriteText(out, "\n%%EOF");
}

}  // namespace jpeg2pdf
