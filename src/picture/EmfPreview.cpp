// SPDX-License-Identifier: GPL-2.0-or-later
#include "MetafilePreview.h"

#include "PictureError.h"
#include "QuietLibraryOutput.h"

#include <cstdint>
#include <cstdlib>

#include <emf2svg.h>

namespace {

uint32_t ReadLittle32(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// libemf2svg trusts the sizes and offsets inside records; a file whose records do not tile it exactly,
// or whose header points outside itself, is refused before the library sees it.
bool RecordsFitFile(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    if (size < 88 || ReadLittle32(bytes, 0) != 1 || ReadLittle32(bytes, 40) != 0x464D4520u)
        return false;
    const uint32_t headerSize = ReadLittle32(bytes, 4);
    const uint64_t descriptionChars = ReadLittle32(bytes, 60);
    const uint64_t descriptionOffset = ReadLittle32(bytes, 64);
    if (headerSize < 88 || headerSize > size)
        return false;
    if (descriptionOffset != 0) {
        // The library reads the description up to its terminating zero, so one must lie inside the header.
        const uint64_t end = descriptionChars != 0 ? descriptionOffset + descriptionChars * 2 : headerSize;
        if (descriptionOffset < 88 || end > headerSize)
            return false;
        bool terminated = false;
        for (uint64_t at = descriptionOffset; at + 1 < end && !terminated; at += 2)
            terminated = bytes[static_cast<qsizetype>(at)] == 0 && bytes[static_cast<qsizetype>(at + 1)] == 0;
        if (!terminated)
            return false;
    }
    qsizetype at = 0;
    while (at + 8 <= size) {
        const uint32_t type = ReadLittle32(bytes, at);
        const uint32_t recordSize = ReadLittle32(bytes, at + 4);
        if (recordSize < 8 || recordSize % 4 != 0 || recordSize > size - at)
            return false;
        if (type == 14) // end of file record
            return true;
        at += recordSize;
    }
    return false;
}

} // namespace

QImage RenderEmfPreview(const QByteArray& bytes, QSize area)
{
    if (!RecordsFitFile(bytes))
        throw PictureError(kInvalidMetafile);
    generatorOptions options{};
    char noNamespace[] = "";
    options.nameSpace = noNamespace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;

    char* svg = nullptr;
    size_t svgLength = 0;
    int converted = 0;
    {
        QuietLibraryOutput quiet;
        QByteArray input = bytes; // the library takes a writable buffer
        converted = emf2svg(input.data(), static_cast<size_t>(input.size()), &svg, &svgLength, &options);
    }
    const QByteArray document = converted && svg ? QByteArray(svg, static_cast<qsizetype>(svgLength)) : QByteArray();
    std::free(svg);
    if (document.isEmpty())
        throw PictureError(kInvalidMetafile);
    return RenderSvgPreview(document, area);
}
