// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentOutline.h"

#include <charconv>

#include "PdfTextString.h"
#include "FileNameText.h"

namespace jpeg2pdf {

namespace {

std::string Decimal(int64_t number)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    return std::string(digits, result.ptr);
}

std::string Reference(int64_t number) { return Decimal(number) + " 0 R"; }

}  // namespace

std::vector<std::string> OutlineCatalogEntries(const OutlineNumbers& numbers)
{
    std::vector<std::string> entries = {"/Outlines " + Reference(numbers.root)};
    if (numbers.entryCount <= kMostEntriesShownOpen)
        entries.emplace_back("/PageMode /UseOutlines");
    return entries;
}

std::string OutlineRoot(const OutlineNumbers& numbers)
{
    return "<<\n/Type /Outlines\n/First " + Reference(numbers.Item(0)) + "\n/Last "
           + Reference(numbers.Item(numbers.entryCount - 1)) + "\n/Count " + Decimal(numbers.entryCount) + "\n>>\n";
}

std::string OutlineItem(const OutlineNumbers& numbers, int64_t i, int64_t pageObject, std::string_view path)
{
    std::string item = "<<\n/Title " + PdfTextString(NameWithoutFolder(path)) + "\n/Parent "
                       + Reference(numbers.root) + "\n";
    if (i > 0)
        item += "/Prev " + Reference(numbers.Item(i - 1)) + "\n";
    if (i + 1 < numbers.entryCount)
        item += "/Next " + Reference(numbers.Item(i + 1)) + "\n";
    return item + "/Dest [" + Reference(pageObject) + " /Fit]\n>>\n";
}

}  // namespace jpeg2pdf
