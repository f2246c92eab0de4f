// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegSegments.h"

#include <stdexcept>
#include <vector>

std::string MarkerSegment(int marker, const std::string& payload)
{
    if (payload.size() > 65533)
        throw std::length_error("segment payload over 65533 bytes");
    const size_t length = payload.size() + 2;
    std::string out {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                     static_cast<char>(length & 0xFF)};
    return out + payload;
}

std::string JfifSegment(int unit, int xDensity, int yDensity)
{
    const std::string payload {'J',
                               'F',
                               'I',
                               'F',
                               '\0',
                               1,
                               2,
                               static_cast<char>(unit),
                               static_cast<char>(xDensity >> 8),
                               static_cast<char>(xDensity & 0xFF),
                               static_cast<char>(yDensity >> 8),
                               static_cast<char>(yDensity & 0xFF),
                               0,
                               0};
    return MarkerSegment(0xE0, payload);
}

namespace {

class TiffWriter {
public:
    explicit TiffWriter(bool bigEndian) : bigEndian_(bigEndian) { }

    std::string Word(uint32_t v) const
    {
        const char high = static_cast<char>(v >> 8 & 0xFF), low = static_cast<char>(v & 0xFF);
        return bigEndian_ ? std::string {high, low} : std::string {low, high};
    }
    std::string Long(uint32_t v) const
    {
        return bigEndian_ ? Word(v >> 16) + Word(v & 0xFFFF) : Word(v & 0xFFFF) + Word(v >> 16);
    }

private:
    bool bigEndian_;
};

}  // namespace

std::string ExifSegment(const ExifFields& f)
{
    const TiffWriter w(f.bigEndian);
    struct Entry {
        int tag, type;
        uint32_t value;  // a SHORT, or a RATIONAL's index into `rationals`
    };
    std::vector<Entry> entries;
    std::vector<ExifRational> rationals;
    if (f.hasOrientation)
        entries.push_back({0x0112, 3, static_cast<uint32_t>(f.orientation)});
    if (f.hasResolution) {
        rationals = {f.xResolution, f.yResolution};
        entries.push_back({0x011A, 5, 0});
        entries.push_back({0x011B, 5, 1});
    }
    if (f.hasResolutionUnit)
        entries.push_back({0x0128, 3, static_cast<uint32_t>(f.resolutionUnit)});

    const uint32_t ifdOffset = 8;
    const uint32_t valuesOffset = ifdOffset + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    std::string tiff = (f.bigEndian ? "MM" : "II") + w.Word(42) + w.Long(ifdOffset);
    tiff += w.Word(static_cast<uint32_t>(entries.size()));
    for (const Entry& e : entries) {
        tiff += w.Word(e.tag) + w.Word(e.type) + w.Long(1);
        tiff += e.type == 3 ? w.Word(e.value) + w.Word(0) : w.Long(valuesOffset + 8 * e.value);
    }
    tiff += w.Long(0);  // no next IFD
    for (const ExifRational& r : rationals)
        tiff += w.Long(r.numerator) + w.Long(r.denominator);
    return MarkerSegment(0xE1, std::string("Exif\0\0", 6) + tiff);
}
