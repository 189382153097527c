#pragma once

#include "shell/full_screen.h"
#include "shell/window_arrangement.h"

namespace kiosk {

// Sizes the main window's client area to the primary monitor: an undecorated window whose client
// area is the whole window, moved to the monitor's origin.
class GdkFullScreenSizer : public FullScreenSizer {
public:
    void FitToScreen(MainWindowControls& window) override;
    // The bounds the window had before it was fitted.
    const Rect& SavedBounds() const { return saved_; }

private:
    Rect saved_;
};

}  // namespace kiosk
