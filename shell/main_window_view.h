#pragma once

#include <functional>

#include "shell/main_window_controls.h"

namespace kiosk {

// What the window's own controls do when they are used.
struct MainWindowHandlers {
    std::function<void()> Home;     // HomeButton
    std::function<void()> Back;     // BackButton
    std::function<void()> Refresh;  // RefreshButton
    std::function<void()> Keys;     // KeysButton, after its Down state has been flipped
    std::function<void()> KeyUp;    // any key released while the window has the focus
};

// The main window on the screen. It mirrors the control models (positions, sizes, captions,
// visibility, pictures) from the moment they are attached until they are detached; it is on the
// screen only from Show on, so that nothing shows (or can be pressed) before start-up has decided.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void Attach(MainWindowControls& controls, MainWindowHandlers handlers) = 0;
    // Puts the window on the screen as the models place it, full screen and above other windows.
    virtual void Show() = 0;
    // Brings the screen up to date with the models now.
    virtual void Sync() = 0;
    virtual void Detach() = 0;
};

}  // namespace kiosk
