#pragma once

#include "keyboard/key_injector.h"
#include "platform/linux/x_display.h"

namespace kiosk {

// Injects keys as XTest fake key events on an X connection, so the server handles them as real
// keystrokes: they reach the focused window and change the key, lock and group state.
class XTestKeyInjector : public KeyInjector {
public:
    // display is not owned and must outlive the injector. Throws std::runtime_error when the server
    // has no XTEST extension.
    explicit XTestKeyInjector(Display* display);

    // Codes without an X keycode are ignored. Returns once the server has handled the event.
    void InjectKey(std::uint16_t code, unsigned flags) override;

private:
    Display* display_;
};

}  // namespace kiosk
