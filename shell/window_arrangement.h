#pragma once

#include "shell/main_window_controls.h"

namespace kiosk {

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const Rect&) const = default;
};

// Where the main window's controls are on its client area, from the models: the page area fills what
// the bottom panel leaves; the bottom panel spans the bottom edge; the button area is at its left,
// the busy animation at its right, the keyboard place where its model says. The buttons flow left to
// right inside the button area's margin from its bottom line up, hidden ones taking no place, a full
// row wrapping upwards.
// Positions of the panels' children are relative to the window's client area.
struct WindowArrangement {
    Rect PageArea;
    Rect BottomPanel;
    Rect ButtonArea;
    Rect HomeButton;
    Rect BackButton;
    Rect RefreshButton;
    Rect KeysButton;
    Rect KeyboardPlace;
    Rect BusyAnimation;
};

WindowArrangement ArrangeWindow(const MainWindowControls& controls);

}  // namespace kiosk
