// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentDateText.h"

#include <cstdlib>

namespace jpeg2pdf {

namespace {

// `value` in exactly `width` digits (values here are never negative and never wider).
std::string Digits(int value, int width)
{
    std::string digits(static_cast<size_t>(width), '0');
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
    return digits;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The zone suffix: "Z", or the sign, hours, `between`, minutes and `after`.
std::string Zone(const DocumentDate& date, const char* between, const char* after)
{
    if (!date.hasZone)
        return {};
    if (date.zoneMinutes == 0)
        return "Z";
    const int offset = std::abs(date.zoneMinutes);
    return (date.zoneMinutes < 0 ? "-" : "+") + Digits(offset / 60, 2) + between + Digits(offset % 60, 2) + after;
}

}  // namespace

bool IsValidDocumentDate(const DocumentDate& date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1
           && date.day <= DaysInMonth(date.year, date.month) && date.hour >= 0 && date.hour <= 23
           && date.minute >= 0 && date.minute <= 59 && date.second >= 0 && date.second <= 59
           && (!date.hasZone || std::abs(date.zoneMinutes) < 24 * 60);
}

std::string PdfDateText(const DocumentDate& date)
{
    return "D:" + Digits(date.year, 4) + Digits(date.month, 2) + Digits(date.day, 2) + Digits(date.hour, 2)
           + Digits(date.minute, 2) + Digits(date.second, 2) + Zone(date, "'", "'");
}

std::string IsoDateText(const DocumentDate& date)
{
    return Digits(date.year, 4) + "-" + Digits(date.month, 2) + "-" + Digits(date.day, 2) + "T"
           + Digits(date.hour, 2) + ":" + Digits(date.minute, 2) + ":" + Digits(date.second, 2)
           + Zone(date, ":", "");
}

}  // namespace jpeg2pdf
