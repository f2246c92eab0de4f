// SPDX-License-Identifier: GPL-2.0-or-later
#include "PixelImageObject.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace jpeg2pdf {

namespace {

// Each row goes in led by PNG's "up" filter byte, and holds its difference from the row above:
// scans and screenshots repeat much from row to row, and Flate finds it more readily this way.
constexpr bool kUpFilter = true;
// Speed before the last per cent of size: the decoded pictures are the slow path already.
constexpr int kLevel = 6;
constexpr size_t kOutBlock = 65536;

// A Flate stream written as its rows come.
class RowDeflater {
public:
    explicit RowDeflater(OutputFile& out) : out_(out), block_(kOutBlock) { }
    ~RowDeflater()
    {
        if (started_)
            deflateEnd(&stream_);
    }

    bool Start()
    {
        started_ = deflateInit(&stream_, kLevel) == Z_OK;
        return started_ || out_.Fail(false, ENOMEM);
    }

    bool Add(const uint8_t* bytes, size_t count) { return Run(bytes, count, Z_NO_FLUSH); }
    bool Finish() { return Run(nullptr, 0, Z_FINISH); }
    int64_t Written() const { return written_; }

private:
    bool Run(const uint8_t* bytes, size_t count, int flush)
    {
        stream_.next_in = const_cast<Bytef*>(bytes);
        stream_.avail_in = static_cast<uInt>(count);
        for (;;) {
            stream_.next_out = block_.data();
            stream_.avail_out = static_cast<uInt>(block_.size());
            const int status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR)
                return out_.Fail(false, ENOMEM);
            const size_t made = block_.size() - stream_.avail_out;
            if (made != 0 && !out_.Write(std::string_view(reinterpret_cast<const char*>(block_.data()), made)))
                return false;
            written_ += static_cast<int64_t>(made);
            if (flush == Z_FINISH ? status == Z_STREAM_END : stream_.avail_out != 0)
                return true;
        }
    }

    OutputFile& out_;
    z_stream stream_ {};
    bool started_ = false;
    std::vector<uint8_t> block_;
    int64_t written_ = 0;
};

std::string Decimal(int64_t number) { return std::to_string(number); }

std::string Dictionary(const PagePlan& plan, PixelPart part)
{
    const ImageCoding& coding = plan.coding;
    const bool alpha = part == PixelPart::Alpha;
    const int bits = alpha ? coding.alphaBits : coding.bitsPerComponent;
    const int colours = alpha ? 1 : coding.colours;
    const int64_t length = alpha ? plan.maskLengthObject : plan.lengthObject;
    std::string text = "<<\n/Type /XObject\n/Subtype /Image\n";
    if (!alpha)
        text += "/Name /Im0\n";
    text += "/Width " + Decimal(plan.imageWidth) + "\n/Height " + Decimal(plan.imageHeight) + "\n/BitsPerComponent "
        + Decimal(bits) + "\n/ColorSpace " + (alpha ? std::string("/DeviceGray") : ImageColourSpace(plan)) + "\n";
    if (!alpha && plan.maskObject != 0)
        text += "/SMask " + Decimal(plan.maskObject) + " 0 R\n";
    if (!alpha)
        text += KeyMaskEntry(coding);
    text += "/Filter /FlateDecode\n";
    if (kUpFilter)
        text += "/DecodeParms << /Predictor 12 /Colors " + Decimal(colours) + " /BitsPerComponent " + Decimal(bits)
            + " /Columns " + Decimal(plan.imageWidth) + " >>\n";
    return text + "/Length " + Decimal(length) + " 0 R >>\nstream\n";
}

}  // namespace

bool WritePixelImageObject(OutputFile& out, ObjectOffsets& offsets, int64_t objectNumber, const PagePlan& plan,
                           PixelPart part, PixelRows& rows, bool eolBeforeEndstream, EntryProblem& problem)
{
    const bool alpha = part == PixelPart::Alpha;
    PixelFormat format = PixelFormatOf(plan.coding, plan.imageWidth, plan.imageHeight);
    const size_t rowBytes = alpha ? format.AlphaRowBytes() : format.SampleRowBytes();
    // The filter byte, then the row; the row above beside it for the differences.
    std::vector<uint8_t> row(rowBytes + 1), above(rowBytes + 1, 0), line(rowBytes + 1);
    RowDeflater deflater(out);
    if (!BeginObject(out, offsets, objectNumber) || !WriteText(out, Dictionary(plan, part)) || !deflater.Start())
        return false;
    for (int32_t y = 0; y < plan.imageHeight; ++y) {
        if (!rows.NextRow(alpha ? nullptr : row.data() + 1, alpha ? row.data() + 1 : nullptr)) {
            problem = rows.Problem();
            return out.Fail(true, 0);
        }
        if (!kUpFilter) {
            if (!deflater.Add(row.data() + 1, rowBytes))
                return false;
            continue;
        }
        line[0] = 2;
        for (size_t i = 1; i <= rowBytes; ++i)
            line[i] = static_cast<uint8_t>(row[i] - above[i]);
        if (!deflater.Add(line.data(), line.size()))
            return false;
        row.swap(above);
    }
    if (!deflater.Finish() || !EndStreamObject(out, eolBeforeEndstream))
        return false;
    return BeginObject(out, offsets, alpha ? plan.maskLengthObject : plan.lengthObject)
        && WriteNumber(out, deflater.Written()) && WriteText(out, "\nendobj\n");
}

}  // namespace jpeg2pdf
