#pragma once

#include <string>

namespace kiosk {

// A control of the main window as plain values. The logic reads and writes these; the platform's view
// mirrors them on the screen.
struct ControlModel {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::string Caption;
    bool Visible = true;
    bool Enabled = true;
    bool Down = false;
};

struct Margins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// A panel with an inner margin around its children.
struct PanelModel : ControlModel {
    Margins Padding;
};

// The busy animation: an animated GIF (its file bytes; empty for the built-in picture).
struct AnimatorModel : ControlModel {
    std::string Picture;
    bool Animate = false;
};

}  // namespace kiosk
