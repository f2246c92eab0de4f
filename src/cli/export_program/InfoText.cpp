// SPDX-License-Identifier: GPL-2.0-or-later
#include "InfoText.h"

#include <iconv.h>

namespace cli {

namespace {

// The whole of `in` converted, or false when any of it is not valid in `from`.
bool Convert(const char* to, const char* from, const std::string& in, std::string& out)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 4 + 4, '\0');  // room for any character as UTF-32
    char* inAt = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outAt = out.data();
    size_t outLeft = out.size();
    const size_t converted = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return converted != static_cast<size_t>(-1) && inLeft == 0;
}

}  // namespace

std::string InfoTextAsUtf8(const std::string& argument)
{
    std::string converted;
    if (Convert("UTF-32LE", "UTF-8", argument, converted))
        return argument;
    if (Convert("UTF-8", "ISO-8859-1", argument, converted))
        return converted;
    return argument;
}

}  // namespace cli
