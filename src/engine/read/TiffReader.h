// SPDX-License-Identifier: GPL-2.0-or-later
// The TIFF structure inside an Exif APP1 payload, read in its own byte order; every read stays
// inside the payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace jpeg2pdf {

class TiffReader {
public:
    TiffReader(const uint8_t* data, size_t size) : data_(data), size_(size) { }

    // The TIFF data after the "Exif\0\0" header of an APP1 payload (the bytes after its length
    // field); false when the payload is not an Exif one or its TIFF header is unreadable.
    static bool FromExifPayload(const uint8_t* payload, size_t size, TiffReader& tiff)
    {
        constexpr size_t kExifHeaderSize = 6;
        if (size < kExifHeaderSize || std::memcmp(payload, "Exif\0\0", kExifHeaderSize) != 0)
            return false;
        tiff = TiffReader(payload + kExifHeaderSize, size - kExifHeaderSize);
        return tiff.ReadOrder();
    }

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

// One IFD entry: its type, value count, and where its 4-byte value field lies.
struct TiffEntry {
    uint16_t type = 0;
    uint32_t count = 0;
    size_t valueField = 0;
};

// Finds `tag` in IFD0. False when it is absent, or when IFD0 or an entry before it is unreadable.
inline bool FindIfd0Entry(const TiffReader& tiff, uint16_t tag, TiffEntry& found)
{
    constexpr size_t kEntrySize = 12;
    uint32_t ifd = 0;
    uint16_t count = 0;
    if (!tiff.Long(4, ifd) || !tiff.Word(ifd, count))
        return false;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = size_t {ifd} + 2 + i * kEntrySize;
        uint16_t entryTag = 0;
        if (!tiff.Word(entry, entryTag) || !tiff.Word(entry + 2, found.type) || !tiff.Long(entry + 4, found.count))
            return false;
        if (entryTag == tag) {
            found.valueField = entry + 8;
            return true;
        }
    }
    return false;
}

}  // namespace jpeg2pdf
