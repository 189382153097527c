#pragma once

#include <string>

#include "util/date_time.h"

namespace kiosk {

// A local time as the Date header writes it (RFC 5322), in English whatever the system's language:
// "Tue, 8 Dec 2026 14:05:09 +0300". utcOffsetMinutes: how far the local time is ahead of UTC.
std::string MailDate(DateTime localTime, int utcOffsetMinutes);

}  // namespace kiosk
