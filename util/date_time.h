#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kiosk {

// A local date and time as days since 30 December 1899, the time of day as the fraction.
using DateTime = double;

struct CivilDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

DateTime EncodeDateTime(const CivilDateTime& civil);
CivilDateTime DecodeDateTime(DateTime value);
bool IsValidDate(int year, int month, int day);

// The short date format dd.mm.yyyy and the long time format hh:mm:ss (24 hours).
std::string FormatShortDate(DateTime value);
std::string FormatLongTime(DateTime value);

// Reads a text written in the short date format (two-digit day and month, four-digit year, valid in
// the calendar); anything else gives no date.
std::optional<DateTime> ParseShortDate(std::string_view text);

}  // namespace kiosk
