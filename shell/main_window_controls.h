#pragma once

#include "shell/control_model.h"

namespace kiosk {

// The main window's controls, by their component names.
struct MainWindowControls {
    ControlModel Form1;   // the window itself; without a border its size is its client area
    ControlModel Panel2;  // page area, shows "Не работает" where the browser does not cover it
    ControlModel WebBrowser1;
    PanelModel Panel1;            // bottom panel
    PanelModel FlowPanel2;        // button area
    ControlModel RxSpeedButton4;  // Home
    ControlModel RxSpeedButton2;  // Back
    ControlModel RxSpeedButton3;  // Refresh
    ControlModel RxSpeedButton1;  // Keys (toggle)
    PanelModel FlowPanel1;        // keyboard place
    AnimatorModel RxGIFAnimator1;
};

// The controls at their design sizes (a 1067 x 800 client area at 120 pixels per inch).
MainWindowControls DesignLayout();

}  // namespace kiosk
