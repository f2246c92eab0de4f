// SPDX-License-Identifier: GPL-2.0-or-later
// File names made from text a document carries (its bookmarks' titles), safe to create in a
// chosen folder: never a path, never a name a shell or a listing mistakes for something else.
#pragma once

#include <string>
#include <string_view>

namespace extract {

// The longest name most Linux file systems take, in bytes.
constexpr size_t kLongestName = 255;

// The kind of file a page's picture is written as; it picks the names' extension.
enum class PictureFormat { Jpeg, Png, Tiff };

// `title` (UTF-8) as a file name: invisible format characters (bidirectional controls, zero-width
// characters...) are left out; '/', NUL and other control bytes become '_', as does a leading
// '-' or '.' (no option lookalike, no hidden file, never "." or ".."); ".jpg" is added unless it
// ends in .jpg, .jpeg, .jpe or .jfif (any case), for a PNG ".png" unless it ends in .png, for a
// TIFF ".tif" unless it ends in .tif or .tiff; a name longer than kLongestName is cut short
// before its extension, at a character's start. Empty for a title that is empty or only spaces.
std::string SafeFileName(std::string_view title, PictureFormat format = PictureFormat::Jpeg);

// `name` (a SafeFileName) with " (n)" before its extension, for the n-th picture that wants the
// same name; the part before it is cut short where the whole would be too long.
std::string NumberedName(const std::string& name, int n);

// "page-0001.jpg" (".png", ".tif"): the page's number from 1, with at least four digits and as
// many as the largest number needs.
std::string PageFileName(int pageNumber, int pageCount, PictureFormat format = PictureFormat::Jpeg);

}  // namespace extract
