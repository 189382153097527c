#pragma once

#include <functional>

#include "os/timer.h"
#include "shell/main_window_controls.h"

namespace kiosk {

inline constexpr int kKeyboardGap = 2;         // between the button panel and the keyboard
inline constexpr int kButtonPanelSpare = 1;    // keeps the last button from wrapping
inline constexpr int kBottomPanelMargin = 20;  // around the buttons while the keyboard is hidden

// What the Keys button works on, by reference into the main window.
struct KeysToggle {
    MainWindowControls& controls;
    int minButtonPanelWidth;  // Home and its margins: the button panel never gets narrower
    // Redraws the keys for the current layout and Shift and Caps Lock state.
    const std::function<void()>& refreshCaptions;
    Timer& idleTimer;
};

// The click on Keys, after the button has flipped: shows the keyboard when the button is down, hides
// it otherwise, fits the bottom panel around it and restarts the idle timer.
void ClickKeys(const KeysToggle& keys);

// Puts the button down or up and takes its click; nothing when it already is.
void SetKeysDown(const KeysToggle& keys, bool down);

}  // namespace kiosk
