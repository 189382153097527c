#pragma once

#include <string>

#include "os/timer.h"
#include "shell/browsing_context.h"
#include "shell/home_button.h"

namespace kiosk {

// Every activity starts the idle time anew.
void RestartIdleTimer(Timer& idleTimer);

// The idle time has passed: Home, once. Home restarts the timer, which is then switched off until
// the next activity.
void ReturnAfterIdle(HomeButton& home, const BrowsingContext& window, const std::string& startPage);

}  // namespace kiosk
