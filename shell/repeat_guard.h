#pragma once

#include "util/date_time.h"

namespace kiosk {

// Whether fewer than 2 whole seconds lie between now and the last action, in either direction (a
// clock set back a little counts as too soon as well).
bool TooSoon(DateTime now, DateTime lastAction);

}  // namespace kiosk
