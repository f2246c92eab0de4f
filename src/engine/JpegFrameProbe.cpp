#include "JpegFrameProbe.h"

#include <cstdint>

namespace jpeg2pdf {

namespace {

// Marker values the probe tells apart; every other value starts a segment that is skipped by its length.
constexpr uint16_t kStartOfImage = 0xFFD8;
constexpr uint16_t kEndOfImage = 0xFFD9;
constexpr uint16_t kFillWord = 0xFFFF;
constexpr uint16_t kBaselineFrame = 0xFFC0;
constexpr uint16_t kProgressiveFrame = 0xFFC2;

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

// Walks the marker segments from the start of the file to the first frame header. Whatever two
// bytes stand where a marker belongs are taken as the marker, and a segment's length is taken as
// unsigned: a length of 0 or 1 moves back, but each pass reads four bytes and moves back at most two,
// so the walk always advances and ends at the latest at the end of the file.
bool ScanToFrameHeader(ByteReader& in, JpegFrameInfo& info)
{
    uint16_t marker;
    if (!in.Word(marker) || marker != kStartOfImage)
        return false;
    for (;;) {
        if (!in.Word(marker))
            return false;
        if (marker == kBaselineFrame || marker == kProgressiveFrame)
            return ReadFrameHeader(in, info);
        if (marker == kFillWord || marker == kEndOfImage)
            return false;
        uint16_t length;
        if (!in.Word(length))
            return false;
        in.Skip(int64_t{length} - 2);
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
