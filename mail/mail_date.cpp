#include "mail/mail_date.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kiosk {

namespace {

constexpr const char* kDayNames[7] = {"Sat", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri"};
constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Day 0, 30 December 1899, was a Saturday.
const char* DayName(DateTime value) {
    const long long day = static_cast<long long>(std::floor(value));
    return kDayNames[((day % 7) + 7) % 7];
}

}  // namespace

std::string MailDate(DateTime localTime, int utcOffsetMinutes) {
    const CivilDateTime civil = DecodeDateTime(localTime);
    const int offset = std::abs(utcOffsetMinutes);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %04d %02d:%02d:%02d %c%02d%02d", DayName(localTime),
                  civil.day, kMonthNames[civil.month - 1], civil.year, civil.hour, civil.minute, civil.second,
                  utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

}  // namespace kiosk
