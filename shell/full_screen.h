#pragma once

#include "shell/main_window_controls.h"

namespace kiosk {

// Sizes the main window so that its client area covers the whole screen, remembering the bounds it
// had before.
class FullScreenSizer {
public:
    virtual ~FullScreenSizer() = default;
    virtual void FitToScreen(MainWindowControls& window) = 0;
};

}  // namespace kiosk
