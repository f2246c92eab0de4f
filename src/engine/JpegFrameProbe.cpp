#include "JpegFrameProbe.h"

#include <cstdint>

namespace jpeg2pdf {

namespace {

// Marker codes (the byte after 0xFF) the probe has to tell apart.
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kBaselineFrame = 0xC0;
constexpr uint8_t kProgressiveFrame = 0xC2;
constexpr uint8_t kFillByte = 0xFF;

// Frame types other than baseline and progressive (extended, lossless, hierarchical, arithmetic):
// their data cannot go into the PDF unchanged. 0xC4, 0xC8 and 0xCC are tables, not frames.
bool IsOtherFrame(uint8_t code)
{
    return code >= 0xC1 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC && code != kProgressiveFrame;
}

// Markers that stand alone, without a length field: TEM and the restart markers.
bool IsStandalone(uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= 0xD7); }

// Reads forward through the file in small blocks; skipping a segment costs no read at all.
class ByteReader {
public:
    explicit ByteReader(const InputFile& file) : file_(file) {}

    bool Byte(uint8_t& value)
    {
        if (position_ < blockStart_ || position_ >= blockStart_ + blockSize_) {
            const int64_t got = file_.ReadAt(position_, block_, sizeof block_);
            if (got <= 0)
                return false;
            blockStart_ = position_;
            blockSize_ = got;
        }
        value = block_[position_ - blockStart_];
        ++position_;
        return true;
    }

    bool Word(uint16_t& value)
    {
        uint8_t high, low;
        if (!Byte(high) || !Byte(low))
            return false;
        value = static_cast<uint16_t>(high << 8 | low);
        return true;
    }

    void Skip(int64_t count) { position_ += count; }

private:
    const InputFile& file_;
    uint8_t block_[4096];
    int64_t blockStart_ = 0;
    int64_t blockSize_ = 0;
    int64_t position_ = 0;
};

// Reads the frame header after its marker: length, precision, height, width, component count.
bool ReadFrameHeader(ByteReader& in, JpegFrameInfo& info)
{
    uint16_t length, height, width;
    uint8_t precision, components;
    if (!in.Word(length) || !in.Byte(precision) || !in.Word(height) || !in.Word(width) || !in.Byte(components))
        return false;
    info.Height = height;
    info.Width = width;
    // PDF viewers decode DCT data at 8 bits per sample only.
    if (precision != 8 || (components != 3 && components != 4))
        return false;
    info.IsCmyk = components == 4;
    return true;
}

// Walks the marker segments from the start of the file to the first frame header.
bool ScanToFrameHeader(ByteReader& in, JpegFrameInfo& info)
{
    uint8_t first, code;
    if (!in.Byte(first) || !in.Byte(code) || first != 0xFF || code != kStartOfImage)
        return false;
    for (;;) {
        if (!in.Byte(first) || first != 0xFF)
            return false;  // segments must follow each other directly
        // Any marker may be preceded by fill bytes.
        do {
            if (!in.Byte(code))
                return false;
        } while (code == kFillByte);
        if (code == kBaselineFrame || code == kProgressiveFrame)
            return ReadFrameHeader(in, info);
        if (code == kEndOfImage || code == kStartOfScan || code == kStartOfImage || IsOtherFrame(code))
            return false;  // no usable frame header can come after these
        if (code == 0x00)
            return false;  // a stuffed byte of entropy-coded data, not a marker
        if (IsStandalone(code))
            continue;
        uint16_t length;
        if (!in.Word(length) || length < 2)
            return false;
        in.Skip(length - 2);
    }
}

}  // namespace

bool ProbeJpegFile(const std::string& path, JpegFrameInfo& info, FileIdentity& identity) noexcept
{
    try {
        InputFile file;
        if (!file.Open(path))
            return false;
        ByteReader reader(file);
        if (!ScanToFrameHeader(reader, info))
            return false;
        identity = file.Identity();
        return true;
    } catch (...) {
        return false;
    }
}

bool ReadJpegFrameInfo(const std::string& path, int32_t& width, int32_t& height, bool& isCmyk) noexcept
{
    JpegFrameInfo info{isCmyk, width, height};
    FileIdentity identity;
    const bool accepted = ProbeJpegFile(path, info, identity);
    width = info.Width;
    height = info.Height;
    isCmyk = info.IsCmyk;
    return accepted;
}

}  // namespace jpeg2pdf
