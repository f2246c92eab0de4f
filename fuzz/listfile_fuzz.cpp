// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the list-file reader and checks what must hold for any text: no item
// holds a line break or NUL, writing the items and reading them back gives the same items, and
// text that is already in the written form (CR LF after every line, no NUL) is written back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ImageListFile.h"

namespace {

// CR LF after every line and nothing else that breaks one.
bool IsWrittenForm(std::string_view text)
{
    if (!text.empty() && !text.ends_with("\r\n"))
        return false;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\0')
            return false;
        if (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))
            return false;
        if (text[at] == '\n' && (at == 0 || text[at - 1] != '\r'))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> items = imagelist::ParseImageList(text);

    size_t itemBytes = 0;
    for (const std::string& item : items) {
        if (item.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            std::abort();
        itemBytes += item.size();
    }
    if (itemBytes > size)
        std::abort();

    const std::string written = imagelist::FormatImageList(items);
    if (imagelist::ParseImageList(written) != items)
        std::abort();
    if (IsWrittenForm(text) && written != text)
        std::abort();
    return 0;
}
