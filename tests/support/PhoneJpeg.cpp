// SPDX-License-Identifier: GPL-2.0-or-later
#include "PhoneJpeg.h"

#include "JpegSegments.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace phone_jpeg {

namespace {

std::string Big16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Big32(uint32_t v) { return Big16(v >> 16) + Big16(v & 0xFFFF); }

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    std::string value;  // whole value; more than four bytes go to the IFD's data area
};

// One big-endian IFD laid out at `offset` (from the TIFF header), its data area after it.
std::string Ifd(const std::vector<Entry>& entries, uint32_t offset)
{
    std::string table = Big16(static_cast<uint32_t>(entries.size())), data;
    const uint32_t dataStart = offset + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    for (const Entry& e : entries) {
        table += Big16(e.tag) + Big16(e.type) + Big32(e.count);
        if (e.value.size() <= 4) {
            table += e.value + std::string(4 - e.value.size(), '\0');
        } else {
            table += Big32(dataStart + static_cast<uint32_t>(data.size()));
            data += e.value;
        }
    }
    return table + Big32(0) + data;
}

std::string Rationals(std::initializer_list<uint32_t> values)
{
    std::string out;
    for (uint32_t v : values)
        out += Big32(v) + Big32(1);
    return out;
}

}  // namespace

std::string Exif(int orientation)
{
    constexpr uint16_t kShort = 3, kAscii = 2, kLong = 4, kRational = 5;
    const std::string owner = "Jane Example", serial = "SN-0047113";
    const auto ifd0 = [&](uint32_t exifAt, uint32_t gpsAt) {
        return Ifd({{0x0112, kShort, 1, Big16(static_cast<uint32_t>(orientation))},
                    {0x013B, kAscii, static_cast<uint32_t>(owner.size() + 1), owner + '\0'},
                    {0x8769, kLong, 1, Big32(exifAt)},
                    {0x8825, kLong, 1, Big32(gpsAt)}},
                   8);
    };
    const uint32_t exifAt = 8 + static_cast<uint32_t>(ifd0(0, 0).size());
    const std::string exifIfd
        = Ifd({{0xA431, kAscii, static_cast<uint32_t>(serial.size() + 1), serial + '\0'}}, exifAt);
    const uint32_t gpsAt = exifAt + static_cast<uint32_t>(exifIfd.size());
    const std::string gpsIfd = Ifd({{0x0001, kAscii, 2, std::string("N\0", 2)},
                                    {0x0002, kRational, 3, Rationals({48, 51, 29})},
                                    {0x0003, kAscii, 2, std::string("E\0", 2)},
                                    {0x0004, kRational, 3, Rationals({2, 17, 40})}},
                                   gpsAt);
    return MarkerSegment(0xE1, std::string("Exif\0\0MM\0\x2A", 10) + Big32(8) + ifd0(exifAt, gpsAt) + exifIfd + gpsIfd);
}

std::string Xmp()
{
    return MarkerSegment(0xE1,
                         std::string("http://ns.adobe.com/xap/1.0/\0", 29)
                             + "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                               "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description "
                               "xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\" photoshop:City=\"Paris\" "
                               "photoshop:AuthorsPosition=\"Jane Example\"/></rdf:RDF></x:xmpmeta>");
}

std::string Photoshop()
{
    return MarkerSegment(0xED,
                         std::string("Photoshop 3.0\0008BIM\x04\x04\0\0", 22) + Big32(8) + "\x1C\x02\x50\0\x04Jane");
}

std::string Comment(const std::string& text) { return MarkerSegment(0xFE, text); }

std::string MultiPicture()
{
    return MarkerSegment(0xE2,
                         std::string("MPF\0MM\0\x2A\0\0\0\x08\0\x01\xB0\x00\0\x07\0\0\0\x04"
                                     "0100\0\0\0\0",
                                     30));
}

std::string IccProfile()
{
    std::string profile(200, '\0');
    for (size_t i = 0; i < profile.size(); ++i)
        profile[i] = static_cast<char>(i * 7);  // FF bytes included
    return MarkerSegment(0xE2, std::string("ICC_PROFILE\0\x01\x01", 14) + profile);
}

std::string JfifExtension() { return MarkerSegment(0xE0, std::string("JFXX\0\x13\x01\x01\xFF\x00\x00\x00", 12)); }

std::string MotionPhotoTrailer(size_t size)
{
    std::string out = Big32(24) + "ftypmp42" + Big32(0) + "isommp42" + std::string("\xFF\xD8\xFF\xE1\0\x10", 6);
    for (size_t i = 0; out.size() + 2 < size; ++i)
        out.push_back(static_cast<char>((i * 2654435761u) >> 13));
    return out + "\xFF\xD9";
}

Parts Split(const std::string& jpeg)
{
    if (jpeg.size() < 4 || jpeg.compare(0, 2, "\xFF\xD8") != 0)
        throw std::runtime_error("not a JPEG");
    size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[at + 1]) >= 0xE0
           && static_cast<uint8_t>(jpeg[at + 1]) <= 0xEF)
        at += 2 + (static_cast<uint8_t>(jpeg[at + 2]) << 8 | static_cast<uint8_t>(jpeg[at + 3]));
    return {jpeg.substr(0, 2), jpeg.substr(2, at - 2), jpeg.substr(at)};
}

}  // namespace phone_jpeg
