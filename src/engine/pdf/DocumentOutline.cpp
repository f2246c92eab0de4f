// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentOutline.h"

#include <charconv>

#include "PdfTextString.h"

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

std::vector<std::string> OutlineCatalogEntries(const OutlinePlan& outline)
{
    std::vector<std::string> entries = {"/Outlines " + Reference(outline.root)};
    if (outline.shownOpen)
        entries.emplace_back("/PageMode /UseOutlines");
    return entries;
}

std::string OutlineRoot(const OutlinePlan& outline)
{
    return "<<\n/Type /Outlines\n/First " + Reference(outline.Item(0)) + "\n/Last "
           + Reference(outline.Item(outline.ItemCount() - 1)) + "\n/Count " + Decimal(outline.ItemCount()) + "\n>>\n";
}

std::string OutlineItem(const OutlinePlan& outline, int64_t i, int64_t pageObject)
{
    std::string item = "<<\n/Title " + PdfTextString(outline.titles.at(static_cast<size_t>(i))) + "\n/Parent "
                       + Reference(outline.root) + "\n";
    if (i > 0)
        item += "/Prev " + Reference(outline.Item(i - 1)) + "\n";
    if (i + 1 < outline.ItemCount())
        item += "/Next " + Reference(outline.Item(i + 1)) + "\n";
    return item + "/Dest [" + Reference(pageObject) + " /Fit]\n>>\n";
}

}  // namespace jpeg2pdf
