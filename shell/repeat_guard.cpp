#include "shell/repeat_guard.h"

#include <cmath>

namespace kiosk {

namespace {

constexpr double kMillisecondsPerDay = 86400.0 * 1000.0;
constexpr long long kShortestRepeatMilliseconds = 2000;

}  // namespace

bool TooSoon(DateTime now, DateTime lastAction) {
    // Rounded to whole milliseconds first: a difference of days carries rounding noise, and exactly
    // 2 seconds must not come out as 1.999999 and truncate to 1.
    const long long milliseconds = std::llround(std::fabs(now - lastAction) * kMillisecondsPerDay);
    return milliseconds / 1000 < kShortestRepeatMilliseconds / 1000;
}

}  // namespace kiosk
