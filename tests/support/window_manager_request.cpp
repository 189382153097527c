#include "tests/support/window_manager_request.h"

#include <X11/Xlib.h>

#include <memory>
#include <stdexcept>

namespace kiosk::testing {

void AskWindowToClose(const XvfbDisplay& display, const std::string& name) {
    const std::string found =
        RunOnDisplay(display, "xdotool search --onlyvisible --name '^" + name + "$' | head -1");
    const Window window = std::stoul(found);
    const std::unique_ptr<Display, int (*)(Display*)> x(XOpenDisplay(display.Name().c_str()), &XCloseDisplay);
    if (!x) throw std::runtime_error("cannot open " + display.Name());
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(x.get(), "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(x.get(), "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.get(), window, False, NoEventMask, &message);
    XSync(x.get(), False);
}

}  // namespace kiosk::testing
