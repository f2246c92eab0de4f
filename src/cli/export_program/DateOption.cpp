// SPDX-License-Identifier: GPL-2.0-or-later
#include "DateOption.h"

#include <ctime>

namespace cli {

namespace {

// Reads exactly `digits` decimal digits at `at`, moving past them.
bool Digits(std::string_view text, size_t& at, int digits, int& value)
{
    if (text.size() - at < static_cast<size_t>(digits))
        return false;
    value = 0;
    for (int i = 0; i < digits; ++i, ++at) {
        if (text[at] < '0' || text[at] > '9')
            return false;
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

bool Literal(std::string_view text, size_t& at, char c)
{
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The offsets clocks keep: from -12:00 to +14:00, in whole, half or three-quarter hours.
bool OffsetExists(int zoneMinutes)
{
    const int minutes = (zoneMinutes < 0 ? -zoneMinutes : zoneMinutes) % 60;
    return zoneMinutes >= -12 * 60 && zoneMinutes <= 14 * 60 && (minutes == 0 || minutes == 30 || minutes == 45);
}

bool Now(jpeg2pdf::DocumentDate& date)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    if (!localtime_r(&now, &local))
        return false;
    // A made-up zone (TZ=XYZ+15) gives an offset no reader holds; the same moment in UTC is true.
    if (!OffsetExists(static_cast<int>(local.tm_gmtoff / 60)) && !gmtime_r(&now, &local))
        return false;
    date = {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec > 59 ? 59 : local.tm_sec,
            true,
            static_cast<int>(local.tm_gmtoff / 60)};
    return true;
}

}  // namespace

bool ParseDocumentDate(std::string_view text, jpeg2pdf::DocumentDate& date, std::string& why)
{
    why = "use now or a date that exists, as 2026-01-02, 2026-01-02T03:04:05 or 2026-01-02T03:04+01:00";
    if (text == "now")
        return Now(date);
    jpeg2pdf::DocumentDate parsed;
    size_t at = 0;
    if (!Digits(text, at, 4, parsed.year) || !Literal(text, at, '-') || !Digits(text, at, 2, parsed.month)
        || !Literal(text, at, '-') || !Digits(text, at, 2, parsed.day))
        return false;
    if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
        ++at;
        if (!Digits(text, at, 2, parsed.hour) || !Literal(text, at, ':') || !Digits(text, at, 2, parsed.minute))
            return false;
        if (Literal(text, at, ':') && !Digits(text, at, 2, parsed.second))
            return false;
    }
    if (Literal(text, at, 'Z')) {
        parsed.hasZone = true;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at++] == '-' ? -1 : 1;
        int hours = 0, minutes = 0;
        if (!Digits(text, at, 2, hours) || !Literal(text, at, ':') || !Digits(text, at, 2, minutes) || hours > 23
            || minutes > 59)
            return false;
        parsed.hasZone = true;
        parsed.zoneMinutes = sign * (hours * 60 + minutes);
        if (at == text.size() && !OffsetExists(parsed.zoneMinutes)) {
            why = "a UTC offset lies from -12:00 to +14:00, with minutes 00, 30 or 45";
            return false;
        }
    }
    if (at != text.size() || parsed.year < 1 || parsed.month < 1 || parsed.month > 12 || parsed.day < 1
        || parsed.day > DaysInMonth(parsed.year, parsed.month) || parsed.hour > 23 || parsed.minute > 59
        || parsed.second > 59)
        return false;
    date = parsed;
    return true;
}

}  // namespace cli
