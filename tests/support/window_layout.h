#pragma once

#include "tests/support/screen.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {

// The main window on the 96-ppi test screens, three quarters of its 120-ppi design: the bottom panel
// of 107 design pixels, its buttons of 80 set 13 into it.
inline constexpr int kBottomPanelHeight = 80;
inline constexpr int kButtonSize = 60;
inline constexpr int kButtonMargin = 10;

// The buttons from the left: Home, Back, Refresh, Keys (Back shown).
enum class Button { Home = 0, Back = 1, Refresh = 2, Keys = 3 };

// Where button sits on the screen while all four are shown.
inline ScreenRect ButtonRect(const XvfbDisplay& display, int index) {
    return {kButtonMargin + kButtonSize * index, display.Height() - kBottomPanelHeight + kButtonMargin,
            kButtonSize, kButtonSize};
}
inline ScreenRect ButtonRect(const XvfbDisplay& display, Button button) {
    return ButtonRect(display, static_cast<int>(button));
}

// A touch in the middle of button.
inline void PressButton(const XvfbDisplay& display, Button button) {
    const ScreenRect rect = ButtonRect(display, button);
    ClickAt(display, rect.left + rect.width / 2, rect.top + rect.height / 2);
}

// The page area above the bottom panel.
inline ScreenRect PageRect(const XvfbDisplay& display) {
    return {0, 0, display.Width(), display.Height() - kBottomPanelHeight};
}

}  // namespace kiosk::testing
