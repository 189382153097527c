#pragma once

#include "shell/browsing_context.h"

namespace kiosk {

// Back: one document back once two have completed. Failures of the browser show nothing. Every
// press restarts the idle timer.
void PressBack(const BrowsingContext& window);

// Refresh: reloads the page (bypassing the cache while Ctrl is held). Failures of the browser show
// nothing. A press too soon after the last action does nothing at all; any other restarts the idle
// timer.
void PressRefresh(const BrowsingContext& window);

}  // namespace kiosk
