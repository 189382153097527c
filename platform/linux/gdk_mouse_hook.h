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

private:
    static constexpr MouseHookHandle kInstalled = 1;
    bool installed_ = false;
};

}  // namespace kiosk
