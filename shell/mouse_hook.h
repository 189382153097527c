#pragma once

#include <cstdint>

namespace kiosk {

using MouseHookHandle = std::uintptr_t;
constexpr MouseHookHandle kNoMouseHook = 0;

// Installs and removes the right-button lock-down of the main thread's windows.
class MouseHookInstaller {
public:
    virtual ~MouseHookInstaller() = default;
    virtual MouseHookHandle Install() = 0;
    virtual void Remove(MouseHookHandle hook) = 0;
};

}  // namespace kiosk
