#pragma once

#include <string>

#include "util/date_time.h"

namespace kiosk {

// The computer's network host name, or its computer name when that is empty ("localhost" when it
// has neither).
std::string LocalHostName();

// How many minutes the local time zone is ahead of UTC at the given local time (negative west of
// Greenwich).
int UtcOffsetMinutes(DateTime localTime);

}  // namespace kiosk
