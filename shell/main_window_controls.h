#pragma once

#include "shell/control_model.h"

namespace kiosk {

// The main window's controls.
struct MainWindowControls {
    ControlModel Window;    // the window itself; without a border its size is its client area
    ControlModel PageArea;  // shows "Не работает" where the browser does not cover it
    ControlModel Browser;
    PanelModel BottomPanel;
    PanelModel ButtonArea;
    ControlModel HomeButton;
    ControlModel BackButton;
    ControlModel RefreshButton;
    ControlModel KeysButton;  // a toggle
    PanelModel KeyboardPlace;
    AnimatorModel BusyAnimation;
};

// The controls at their design sizes (a 1067 x 800 client area at 120 pixels per inch).
MainWindowControls DesignLayout();

}  // namespace kiosk
