#include "ExifOrientation.h"

#include <cstring>

namespace jpeg2pdf {

namespace {

constexpr size_t kExifHeaderSize = 6;  // "Exif\0\0"
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr size_t kEntrySize = 12;

// The TIFF structure after the Exif header, in its own byte order; reads past the end fail.
class TiffReader {
public:
    TiffReader(const uint8_t* data, size_t size) : data_(data), size_(size) { }

    bool ReadOrder()
    {
        if (size_ < 4)
            return false;
        if (data_[0] == 'I' && data_[1] == 'I')
            bigEndian_ = false;
        else if (data_[0] == 'M' && data_[1] == 'M')
            bigEndian_ = true;
        else
            return false;
        uint16_t magic = 0;
        return Word(2, magic) && magic == 42;
    }

    bool Word(size_t offset, uint16_t& value) const
    {
        if (offset > size_ || size_ - offset < 2)
            return false;
        const uint8_t* p = data_ + offset;
        value = bigEndian_ ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
        return true;
    }

    bool Long(size_t offset, uint32_t& value) const
    {
        uint16_t first = 0, second = 0;
        if (!Word(offset, first) || !Word(offset + 2, second))
            return false;
        value = bigEndian_ ? uint32_t {first} << 16 | second : uint32_t {second} << 16 | first;
        return true;
    }

    size_t Size() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
    bool bigEndian_ = false;
};

int OrientationFromTiff(const TiffReader& tiff)
{
    uint32_t ifd = 0;
    uint16_t count = 0;
    if (!tiff.Long(4, ifd) || !tiff.Word(ifd, count))
        return 1;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = size_t {ifd} + 2 + i * kEntrySize;
        uint16_t tag = 0, type = 0, value = 0;
        uint32_t valueCount = 0;
        if (!tiff.Word(entry, tag) || !tiff.Word(entry + 2, type) || !tiff.Long(entry + 4, valueCount))
            return 1;
        if (tag != kOrientationTag)
            continue;
        // One SHORT sits in the first two bytes of the value field.
        if (type != kShortType || valueCount != 1 || !tiff.Word(entry + 8, value) || value < 1 || value > 8)
            return 1;
        return value;
    }
    return 1;
}

}  // namespace

int ReadExifOrientation(const uint8_t* payload, size_t size) noexcept
{
    if (size < kExifHeaderSize || std::memcmp(payload, "Exif\0\0", kExifHeaderSize) != 0)
        return 1;
    TiffReader tiff(payload + kExifHeaderSize, size - kExifHeaderSize);
    if (!tiff.ReadOrder())
        return 1;
    return OrientationFromTiff(tiff);
}

}  // namespace jpeg2pdf
