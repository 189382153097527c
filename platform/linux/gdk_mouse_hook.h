#pragma once

#include "shell/mouse_hook.h"

namespace kiosk {

// The right-button lock-down on GDK: while installed, every event of the process's windows passes a
// filter before GTK dispatches it, and the filter drops what the lock-down swallows.
class GdkMouseHookInstaller : public MouseHookInstaller {
public:
    ~GdkMouseHookInstaller() override { Remove(kInstalled); }
    MouseHookHandle Install() override;
    void Remove(MouseHookHandle hook) override;

    // Whether the lock-down is on in this process. A touch screen opens the page's menu by a long
    // press rather than by the right button; the browser refuses such menus while this holds.
    static bool LockedDown() { return lockedDown_; }

private:
    static constexpr MouseHookHandle kInstalled = 1;
    bool installed_ = false;
    static inline bool lockedDown_ = false;  // main thread only
};

}  // namespace kiosk
