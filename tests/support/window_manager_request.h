#pragma once

#include <string>

#include "tests/support/xvfb_display.h"

namespace kiosk::testing {

// Asks the first shown window named name to close, as a window manager does on Alt+F4 or its close
// button (a WM_DELETE_WINDOW message); throws when there is no such window.
void AskWindowToClose(const XvfbDisplay& display, const std::string& name);

}  // namespace kiosk::testing
