// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProfileObject.h"

#include <zlib.h>

#include <cerrno>
#include <string_view>

#include "PdfObjects.h"

namespace jpeg2pdf {

using posixfile::OutputFile;

bool WriteProfileObject(OutputFile& out, ObjectOffsets& offsets, int64_t number, const std::vector<uint8_t>& profile,
                        int components, bool eolBeforeEndstream, const std::vector<uint8_t>& deflated)
{
    // One profile's compressed copy at a time; the document never holds more.
    std::vector<Bytef> compressed;
    uLongf size = static_cast<uLongf>(deflated.size());
    if (deflated.empty()) {
        size = compressBound(static_cast<uLong>(profile.size()));
        compressed.resize(size);
        if (compress2(compressed.data(), &size, profile.data(), static_cast<uLong>(profile.size()), Z_BEST_COMPRESSION)
            != Z_OK)
            return out.Fail(false, ENOMEM);
    }
    const Bytef* bytes = deflated.empty() ? compressed.data() : deflated.data();
    const std::string_view alternate = components == 1 ? "/DeviceGray" : components == 4 ? "/DeviceCMYK" : "/DeviceRGB";
    return BeginObject(out, offsets, number) && WriteText(out, "<<\n/N ") && WriteNumber(out, components)
        && WriteText(out, "\n/Alternate ") && WriteText(out, alternate)
        && WriteText(out, "\n/Filter /FlateDecode\n/Length ") && WriteNumber(out, static_cast<int64_t>(size))
        && WriteText(out, " >>\nstream\n")
        && WriteText(out, std::string_view(reinterpret_cast<const char*>(bytes), size))
        && EndStreamObject(out, eolBeforeEndstream);
}

}  // namespace jpeg2pdf
