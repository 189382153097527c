#pragma once

#include "shell/main_window_controls.h"

namespace kiosk {

// The on-screen keyboard as start-up uses it.
class OnScreenKeyboard {
public:
    virtual ~OnScreenKeyboard() = default;
    // Copies the keys into target, scaled by the keys and interval codes, and sizes target to fit.
    virtual void PlaceKeyboard(PanelModel& target, MainWindowControls& window, int keys, int interval) = 0;
    // Copy key: Ctrl+C when copyWithCtrlC, else Ctrl+Insert. Paste key: Ctrl+V when pasteWithCtrlV,
    // else Shift+Insert.
    virtual void SetCopyPasteSwitches(bool copyWithCtrlC, bool pasteWithCtrlV) = 0;
};

}  // namespace kiosk
