// SPDX-License-Identifier: GPL-2.0-or-later
#include "PaperSize.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <strings.h>

#include "ReaderLimits.h"

namespace cli {

namespace {

struct Unit {
    const char* name;
    double points;  // per unit
};

constexpr Unit kUnits[] = {{"pt", 1}, {"mm", 72 / 25.4}, {"cm", 72 / 2.54}, {"in", 72}};

struct Paper {
    const char* name;
    double width, height;  // in the unit below
    double unitPoints;
};

constexpr Paper kPapers[] = {
    {"A3", 297, 420, 72 / 25.4}, {"A4", 210, 297, 72 / 25.4}, {"A5", 148, 210, 72 / 25.4},
    {"B5", 176, 250, 72 / 25.4}, {"Letter", 8.5, 11, 72},     {"Legal", 8.5, 14, 72},
};

bool SameLetters(std::string_view text, const char* name)
{
    return text.size() == std::char_traits<char>::length(name) && strncasecmp(text.data(), name, text.size()) == 0;
}

// Splits "12.5mm" into its number and the points per unit; false for an unknown unit.
bool SplitUnit(std::string_view text, std::string_view& number, double& unitPoints, bool& hasUnit)
{
    size_t end = text.size();
    while (end > 0
           && ((text[end - 1] >= 'a' && text[end - 1] <= 'z') || (text[end - 1] >= 'A' && text[end - 1] <= 'Z')))
        --end;
    number = text.substr(0, end);
    const std::string_view unit = text.substr(end);
    hasUnit = !unit.empty();
    unitPoints = 1;
    if (!hasUnit)
        return true;
    for (const Unit& u : kUnits) {
        if (SameLetters(unit, u.name)) {
            unitPoints = u.points;
            return true;
        }
    }
    return false;
}

bool ParseNumber(std::string_view text, double& value)
{
    // from_chars would take a sign, "inf" and "nan"; a length is digits with at most one point.
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

bool ParseDotsPerInch(std::string_view text, double& value)
{
    double dpi = 0;
    if (!ParseNumber(text, dpi) || dpi < kLeastDotsPerInch || dpi > jpeg2pdf::kMostPixelsPerInch)
        return false;
    value = dpi;
    return true;
}

bool ParseLength(std::string_view text, double& points)
{
    std::string_view number;
    double unitPoints = 1;
    bool hasUnit = false;
    double value = 0;
    if (!SplitUnit(text, number, unitPoints, hasUnit) || !ParseNumber(number, value))
        return false;
    if (value * unitPoints > jpeg2pdf::kLargestPageSide)
        return false;
    points = value * unitPoints;
    return true;
}

bool ParsePaperSize(std::string_view text, double& width, double& height, std::string& why)
{
    for (const Paper& paper : kPapers) {
        if (SameLetters(text, paper.name)) {
            width = paper.width * paper.unitPoints;
            height = paper.height * paper.unitPoints;
            return true;
        }
    }
    const size_t times = text.find_first_of("xX");
    if (times == std::string_view::npos) {
        why = "not a paper name (A3, A4, A5, B5, Letter, Legal) or WIDTHxHEIGHT";
        return false;
    }
    std::string_view first = text.substr(0, times), second = text.substr(times + 1);
    std::string_view number;
    double firstUnit = 1, secondUnit = 1;
    bool firstHasUnit = false, secondHasUnit = false;
    double w = 0, h = 0;
    if (!SplitUnit(first, number, firstUnit, firstHasUnit) || !ParseNumber(number, w)
        || !SplitUnit(second, number, secondUnit, secondHasUnit) || !ParseNumber(number, h)
        || (firstHasUnit && !secondHasUnit)) {
        why = "not WIDTHxHEIGHT with a unit of pt, mm, cm or in";
        return false;
    }
    // "210x297mm": the unit at the end is both sides'.
    if (!firstHasUnit)
        firstUnit = secondUnit;
    w *= firstUnit;
    h *= secondUnit;
    if (std::min(w, h) < jpeg2pdf::kSmallestPageSide || std::max(w, h) > jpeg2pdf::kLargestPageSide) {
        why = "each side must be 3 to 14,400 points (200 inches), what readers show";
        return false;
    }
    width = w;
    height = h;
    return true;
}

}  // namespace cli
