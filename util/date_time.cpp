#include "util/date_time.h"

#include <cmath>
#include <cstdio>

namespace kiosk {

namespace {

constexpr long long kMillisecondsPerDay = 86'400'000;

// Days from 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int ToInt(std::string_view digits) {
    int value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

DateTime EncodeDateTime(const CivilDateTime& c) {
    const long long days =
        DaysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) - kEpochDays;
    const long long ms = ((c.hour * 60LL + c.minute) * 60 + c.second) * 1000 + c.millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / kMillisecondsPerDay;
}

CivilDateTime DecodeDateTime(DateTime value) {
    auto totalMs = static_cast<long long>(std::llround(value * kMillisecondsPerDay));
    long long days = totalMs / kMillisecondsPerDay;
    long long ms = totalMs % kMillisecondsPerDay;
    if (ms < 0) {
        ms += kMillisecondsPerDay;
        --days;
    }
    CivilDateTime c;
    CivilFromDays(days + kEpochDays, c.year, c.month, c.day);
    c.hour = static_cast<int>(ms / 3'600'000);
    c.minute = static_cast<int>(ms / 60'000 % 60);
    c.second = static_cast<int>(ms / 1000 % 60);
    c.millisecond = static_cast<int>(ms % 1000);
    return c;
}

std::string FormatShortDate(DateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", c.day, c.month, c.year);
    return buffer;
}

std::string FormatLongTime(DateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    return buffer;
}

std::optional<DateTime> ParseShortDate(std::string_view text) {
    if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
    const auto day = text.substr(0, 2), month = text.substr(3, 2), year = text.substr(6, 4);
    if (!IsDigits(day) || !IsDigits(month) || !IsDigits(year)) return std::nullopt;
    CivilDateTime c;
    c.day = ToInt(day);
    c.month = ToInt(month);
    c.year = ToInt(year);
    if (!IsValidDate(c.year, c.month, c.day)) return std::nullopt;
    return EncodeDateTime(c);
}

}  // namespace kiosk
