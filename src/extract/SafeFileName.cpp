// SPDX-License-Identifier: GPL-2.0-or-later
#include "SafeFileName.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <span>

#include "FormatCharacters.h"

namespace extract {

namespace {

// The extensions a name of each format may end in; the first is the one added.
std::span<const std::string_view> Extensions(PictureFormat format)
{
    static constexpr std::string_view jpeg[] = {".jpg", ".jpeg", ".jpe", ".jfif"}, png[] = {".png"},
                                      tiff[] = {".tif", ".tiff"};
    switch (format) {
    case PictureFormat::Png:
        return png;
    case PictureFormat::Tiff:
        return tiff;
    case PictureFormat::Jpeg:
        break;
    }
    return jpeg;
}

bool EndsWithCaseless(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size()
        && strncasecmp(text.data() + text.size() - ending.size(), ending.data(), ending.size()) == 0;
}

// Where the extension starts; a name that is all extension (".jpg") has none.
size_t ExtensionStart(std::string_view name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name.size() : dot;
}

bool HasExtension(std::string_view name, PictureFormat format)
{
    const size_t dot = ExtensionStart(name);
    if (dot == name.size())
        return false;
    const std::string_view extension = name.substr(dot);
    for (std::string_view known : Extensions(format))
        if (extension.size() == known.size() && EndsWithCaseless(extension, known))
            return true;
    return false;
}

// `stem` cut to at most `room` bytes, not inside a UTF-8 sequence (of at most four bytes: a
// longer run of continuation bytes is no text, and is cut where it stands).
std::string_view CutAtCharacter(std::string_view stem, size_t room)
{
    if (stem.size() <= room)
        return stem;
    size_t end = room;
    while (end > 0 && room - end < 3 && (static_cast<unsigned char>(stem[end]) & 0xC0) == 0x80)
        --end;
    return stem.substr(0, (static_cast<unsigned char>(stem[end]) & 0xC0) == 0x80 ? room : end);
}

// `stem` and `ending` joined, the stem cut so the whole fits kLongestName.
std::string Joined(std::string_view stem, std::string_view ending)
{
    const size_t room = kLongestName > ending.size() ? kLongestName - ending.size() : 0;
    std::string joined(CutAtCharacter(stem, room));
    joined += ending;
    return joined;
}

}  // namespace

std::string SafeFileName(std::string_view title, PictureFormat format)
{
    // Invisible characters go first: a title of nothing else makes no name, and one that hid
    // a leading '-' or '.' does not keep it.
    std::string name = WithoutFormatCharacters(title);
    if (name.find_first_not_of(' ') == std::string::npos)
        return {};
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '/')
            c = '_';
    if (name[0] == '-' || name[0] == '.')
        name[0] = '_';
    if (!HasExtension(name, format))
        return Joined(name, Extensions(format).front());
    const size_t dot = ExtensionStart(name);
    return Joined(std::string_view(name).substr(0, dot), std::string_view(name).substr(dot));
}

std::string NumberedName(const std::string& name, int n)
{
    const size_t dot = ExtensionStart(name);
    return Joined(std::string_view(name).substr(0, dot),
                  " (" + std::to_string(n) + ")" + name.substr(dot));
}

std::string PageFileName(int pageNumber, int pageCount, PictureFormat format)
{
    char digits[16];
    const size_t width = std::max<size_t>(4, std::to_chars(digits, digits + sizeof digits, pageCount).ptr - digits);
    const std::string number(digits, std::to_chars(digits, digits + sizeof digits, pageNumber).ptr);
    return "page-" + std::string(width > number.size() ? width - number.size() : 0, '0') + number
        + std::string(Extensions(format).front());
}

}  // namespace extract
