// SPDX-License-Identifier: GPL-2.0-or-later
// The image list file: plain single-byte text, one path per line, CR LF after every line.
// Qt-free, so it can be read and written without a window.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace imagelist {

// Raised when a list file cannot be written or read; what() is the message the user sees.
class ImageListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every item followed by CR LF, the last one included; an empty list gives no bytes.
std::string FormatImageList(const std::vector<std::string>& items);

// Splits at CR LF, lone CR and lone LF; a break at the very end adds no empty item.
// A NUL byte ends the text; nothing is trimmed and a byte order mark stays in the first item.
std::vector<std::string> ParseImageList(std::string_view text);

// Replaces the file with the list: written to a new file beside it, then renamed over it, so a
// failure (a full disk, say) leaves the previous file as it was. A symbolic link's target is
// replaced and the link kept; the replaced file keeps its permission bits. Throws ImageListError
// "Cannot create file "<absolute path>". <reason>" when it cannot be written whole, the reason being
// the system's error text or "Not a regular file" (a FIFO, socket or device, never opened).
// An item holding a CR or LF would come back as two items, so such a list is refused before
// anything is written, with ImageListError "Cannot save "<absolute path>". Entry <n>, "<item with
// the break written as \n or \r>", has a line break (\n) in its name, and a list file holds one
// name per line."
void SaveImageList(const std::string& path, const std::vector<std::string>& items);

// The positions (from 0) of the items holding a CR or LF, in order.
std::vector<size_t> EntriesWithLineBreaks(const std::vector<std::string>& items);

// The refusal of such a list before any file is chosen, for broken = EntriesWithLineBreaks(items),
// not empty: "Cannot save the list. Entry <n>, "<item>", has a line break (\n) in its name, and a
// list file holds one name per line." for one entry; for several "Cannot save the list. Entries 2,
// 5 and 7 have a line break in their names, and a list file holds one name per line."
std::string LineBreakRefusal(const std::vector<std::string>& items, const std::vector<size_t>& broken);

// Reads the whole file. Throws ImageListError "Cannot open file "<absolute path>". <reason>" when
// it cannot be read; anything but a regular file is refused without blocking ("Not a regular file").
std::vector<std::string> LoadImageList(const std::string& path);

}  // namespace imagelist
