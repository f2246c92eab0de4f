#include "PdfObjects.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <string>

namespace jpeg2pdf {

namespace {

// Cross-reference entries hold offsets as ten digits; a file that needs more cannot be indexed.
constexpr int64_t kLargestOffset = 9'999'999'999;

// Remembers where object `number` begins and opens it.
bool BeginObject(OutputFile& out, ObjectOffsets& offsets, int64_t number)
{
    if (out.Position() > kLargestOffset)
        return out.Fail(false, EFBIG);
    offsets.at(static_cast<size_t>(number - 1)) = out.Position();
    return WriteNumber(out, number) && WriteText(out, " 0 obj\n");
}

std::string Decimal(int64_t number)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    return std::string(digits, result.ptr);
}

// The image space is the unit square with the picture's first row at the top. This matrix maps
// it onto a page of w x h so that the stored picture appears upright: mirrored for 2 and 4,
// turned for 3, 6 and 8, mirrored across a diagonal for 5 and 7.
std::array<int64_t, 6> PlacementMatrix(int orientation, int64_t w, int64_t h)
{
    switch (orientation) {
    case 2:
        return {-w, 0, 0, h, w, 0};
    case 3:
        return {-w, 0, 0, -h, w, h};
    case 4:
        return {w, 0, 0, -h, 0, h};
    case 5:
        return {0, -h, -w, 0, w, h};
    case 6:
        return {0, -h, w, 0, 0, h};
    case 7:
        return {0, h, w, 0, 0, 0};
    case 8:
        return {0, h, -w, 0, w, 0};
    default:
        return {w, 0, 0, h, 0, 0};
    }
}

bool WriteTenDigits(OutputFile& out, int64_t number)
{
    char digits[10];
    for (int i = 9; i >= 0; --i, number /= 10)
        digits[i] = static_cast<char>('0' + number % 10);
    return WriteText(out, std::string_view(digits, sizeof digits));
}

}  // namespace

bool WriteText(OutputFile& out, std::string_view text) { return out.Write(text); }

bool WriteNumber(OutputFile& out, int64_t number) { return WriteText(out, Decimal(number)); }

bool WriteCatalog(OutputFile& out, ObjectOffsets& offsets)
{
    return BeginObject(out, offsets, 1)
           && WriteText(out, "<<\n/Type /Catalog\n/Pages 2 0 R\n/OpenAction [3 0 R /XYZ -32768 -32768 1 ]\n>>\n"
                             "endobj\n");
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
                     const PageImage& image)
{
    return BeginObject(out, offsets, numbers.Page(page))
           && WriteText(out, "<<\n/Type /Page\n/Parent 2 0 R\n/Resources\n<<\n/XObject << /Im0 ")
           && WriteNumber(out, numbers.Image(page))
           && WriteText(out, " 0 R >>\n/ProcSet [ /PDF /ImageC ]\n>>\n/MediaBox [ 0 0 ")
           && WriteNumber(out, image.PageWidth()) && WriteText(out, " ") && WriteNumber(out, image.PageHeight())
           && WriteText(out, " ]\n/Contents ") && WriteNumber(out, numbers.Contents(page))
           && WriteText(out, " 0 R\n>>\nendobj\n");
}

bool WriteImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const JpegFrameInfo& image,
                      const InputFile& jpeg)
{
    // CMYK JPEGs are stored inverted (Adobe convention); the decode array turns them back.
    const std::string_view colourSpace = image.IsCmyk ? "/ColorSpace /DeviceCMYK\n/Decode[1 0 1 0 1 0 1 0]\n"
                                                      : "/ColorSpace /DeviceRGB\n";
    // The size is taken now, not at validation: the file is copied as it is at this moment.
    const int64_t size = jpeg.Size();
    return BeginObject(out, offsets, objectNumber)
           && WriteText(out, "<<\n/Type /XObject\n/Subtype /Image\n/Name /Im0\n/Width ")
           && WriteNumber(out, image.Width) && WriteText(out, "\n/Height ") && WriteNumber(out, image.Height)
           && WriteText(out, "\n/BitsPerComponent 8\n/Filter [/DCTDecode]\n") && WriteText(out, colourSpace)
           && WriteText(out, "/Length ") && WriteNumber(out, size) && WriteText(out, " >>\nstream\n")
           && out.CopyFrom(jpeg, size) && WriteText(out, "endstream\nendobj\n");
}

bool WritePageContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, int32_t width,
                            int32_t height)
{
    return WriteOrientedContentObject(out, offsets, objectNumber, PageImage{{false, width, height}, 1});
}

bool WriteOrientedContentObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber,
                                const PageImage& image)
{
    // Scales the unit-square image to the whole page.
    std::string content = "q\n";
    for (int64_t value : PlacementMatrix(image.orientation, image.PageWidth(), image.PageHeight()))
        content += Decimal(value) + " ";
    content += "cm\n/Im0 Do\nQ\n";
    return BeginObject(out, offsets, objectNumber) && WriteText(out, "<< /Length ")
           && WriteNumber(out, static_cast<int64_t>(content.size())) && WriteText(out, " >>\nstream\n")
           && WriteText(out, content) && WriteText(out, "endstream\nendobj\n");
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

bool WriteTrailer(OutputFile& out, int64_t xrefEntryCount, int64_t xrefOffset)
{
    return WriteText(out, "trailer\n<<\n/Size ") && WriteNumber(out, xrefEntryCount)
           && WriteText(out, "\n/Root 1 0 R\n>>\nstartxref\n") && WriteNumber(out, xrefOffset)
           && WriteText(out, "\n%%EOF");
}

}  // namespace jpeg2pdf
