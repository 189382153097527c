#pragma once

#include "shell/browser_control.h"

namespace kiosk {

// What every visitor's browser control is set to, the first one at start-up as each one after Home:
// no address bar, no status bar, and silent, so that no dialog box of its own (a page's alert,
// confirm or prompt, a sign-in) waits for an answer on a terminal nobody may be using.
void LockDownVisitorBrowser(BrowserControl& browser);

}  // namespace kiosk
