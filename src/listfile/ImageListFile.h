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

// Creates or truncates the file and writes the list. Throws ImageListError
// "Cannot create file "<absolute path>". <system error text>" when it cannot be written whole.
void SaveImageList(const std::string& path, const std::vector<std::string>& items);

// Reads the whole file. Throws ImageListError
// "Cannot open file "<absolute path>". <system error text>" when it cannot be read.
std::vector<std::string> LoadImageList(const std::string& path);

}  // namespace imagelist
