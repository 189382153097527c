#pragma once

#include <memory>

#include "os/timer.h"
#include "os/ui.h"
#include "shell/browser_control.h"
#include "shell/main_window_controls.h"
#include "util/clock.h"
#include "util/date_time.h"

namespace kiosk {

// What the main window's buttons and the browser's events work on, by reference into the window: its
// controls, its browser control (none while Home replaces it), the count of completed documents, the
// time of the last button action, the idle timer, and the services they use.
struct BrowsingContext {
    MainWindowControls& controls;
    std::unique_ptr<BrowserControl>& browser;
    int& documentCounter;
    DateTime& lastActionTime;
    Timer& idleTimer;
    Ui& ui;
    const Clock& clock;
};

}  // namespace kiosk
