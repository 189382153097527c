#include "platform/linux/xtest_key_injector.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

#include "platform/linux/virtual_key_codes.h"

namespace kiosk {

XTestKeyInjector::XTestKeyInjector(Display* display) : display_(display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (display_ == nullptr || !XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
        throw std::runtime_error("the X display has no XTEST extension");
    }
}

void XTestKeyInjector::InjectKey(std::uint16_t code, unsigned flags) {
    const unsigned keycode = XKeycode(code);
    if (keycode == 0) return;
    // The extended-key flag has no meaning to X: the keycode already tells the keys apart.
    XTestFakeKeyEvent(display_, keycode, (flags & kKeyRelease) == 0 ? True : False, CurrentTime);
    // A round trip rather than a flush: afterwards the server has handled the event, so key state read
    // next reflects it and, on GTK's own connection, the resulting events are already queued.
    XSync(display_, False);
}

}  // namespace kiosk
