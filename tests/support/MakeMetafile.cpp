// SPDX-License-Identifier: GPL-2.0-or-later
#include "MakeMetafile.h"

namespace {

void Put16(std::string& out, int value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, int64_t value)
{
    Put16(out, static_cast<int>(value & 0xFFFF));
    Put16(out, static_cast<int>((value >> 16) & 0xFFFF));
}

void PutColour(std::string& out, const MetafileRecipe& r)
{
    out.push_back(static_cast<char>(r.red));
    out.push_back(static_cast<char>(r.green));
    out.push_back(static_cast<char>(r.blue));
    out.push_back(0);
}

void Set32(std::string& out, size_t at, int64_t value)
{
    std::string bytes;
    Put32(bytes, value);
    out.replace(at, 4, bytes);
}

} // namespace

std::string MakeWmf(const MetafileRecipe& r)
{
    std::string records;
    // SETWINDOWORG and SETWINDOWEXT: parameters are y before x.
    Put32(records, 5); Put16(records, 0x020B); Put16(records, 0); Put16(records, 0);
    Put32(records, 5); Put16(records, 0x020C); Put16(records, r.height); Put16(records, r.width);
    // CREATEBRUSHINDIRECT (solid), SELECTOBJECT 0, RECTANGLE (bottom, right, top, left), EOF.
    Put32(records, 7); Put16(records, 0x02FC); Put16(records, 0); PutColour(records, r); Put16(records, 0);
    Put32(records, 4); Put16(records, 0x012D); Put16(records, 0);
    Put32(records, 7); Put16(records, 0x041B);
    Put16(records, r.bottom); Put16(records, r.right); Put16(records, r.top); Put16(records, r.left);
    Put32(records, 3); Put16(records, 0x0000);

    std::string placeable;
    Put32(placeable, 0x9AC6CDD7);
    Put16(placeable, 0);                       // handle
    Put16(placeable, 0); Put16(placeable, 0);  // bounding box left, top
    Put16(placeable, r.width); Put16(placeable, r.height);
    Put16(placeable, 96);                      // units per inch
    Put32(placeable, 0);                       // reserved
    int checksum = 0;
    for (size_t i = 0; i < placeable.size(); i += 2)
        checksum ^= static_cast<uint8_t>(placeable[i]) | (static_cast<uint8_t>(placeable[i + 1]) << 8);
    Put16(placeable, checksum);

    std::string header;
    Put16(header, 1);      // in memory
    Put16(header, 9);      // header size in words
    Put16(header, 0x0300); // version
    Put32(header, static_cast<int64_t>((18 + records.size()) / 2));
    Put16(header, 1);      // objects
    Put32(header, 7);      // largest record, in words
    Put16(header, 0);
    return placeable + header + records;
}

std::string MakeEmf(const MetafileRecipe& r)
{
    std::string out;
    Put32(out, 1); Put32(out, 108);
    Put32(out, 0); Put32(out, 0); Put32(out, r.width); Put32(out, r.height);   // bounds
    // Frame in hundredths of a millimetre, at 96 pixels per inch.
    Put32(out, 0); Put32(out, 0);
    Put32(out, static_cast<int64_t>(r.width) * 2540 / 96); Put32(out, static_cast<int64_t>(r.height) * 2540 / 96);
    Put32(out, 0x464D4520);         // " EMF"
    Put32(out, 0x10000);
    Put32(out, 0);                  // file size, set below
    Put32(out, 5);                  // records
    Put16(out, 2); Put16(out, 0);   // handles
    Put32(out, 0); Put32(out, 0); Put32(out, 0);   // description, palette
    Put32(out, 1920); Put32(out, 1080);           // reference device in pixels
    Put32(out, 508); Put32(out, 286);             // and in millimetres
    Put32(out, 0); Put32(out, 0); Put32(out, 0);  // no pixel format, no OpenGL
    Put32(out, 508000); Put32(out, 286000);       // device in micrometres

    Put32(out, 39); Put32(out, 24); Put32(out, 1); Put32(out, 0); PutColour(out, r); Put32(out, 0);
    Put32(out, 37); Put32(out, 12); Put32(out, 1);
    Put32(out, 43); Put32(out, 24); Put32(out, r.left); Put32(out, r.top); Put32(out, r.right); Put32(out, r.bottom);
    Put32(out, 14); Put32(out, 20); Put32(out, 0); Put32(out, 16); Put32(out, 20);
    Set32(out, 48, static_cast<int64_t>(out.size()));
    return out;
}
