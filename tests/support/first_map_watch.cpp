#include "tests/support/first_map_watch.h"

#include <X11/Xlib.h>

#include <stdexcept>
#include <thread>

namespace kiosk::testing {

FirstMapWatch::FirstMapWatch(const XvfbDisplay& display) : x_(XOpenDisplay(display.Name().c_str())) {
    if (x_ == nullptr) throw std::runtime_error("cannot open " + display.Name());
    XSelectInput(x_, DefaultRootWindow(x_), SubstructureNotifyMask);
    XSync(x_, False);
}

FirstMapWatch::~FirstMapWatch() {
    XCloseDisplay(x_);
}

std::optional<ScreenRect> FirstMapWatch::WaitForFirstMap(std::chrono::milliseconds limit,
                                                         const std::function<void()>& atMap) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (XPending(x_) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        XEvent event;
        XNextEvent(x_, &event);
        // Pop-ups (override-redirect) are not top-level windows of the program's own.
        if (event.type == CreateNotify && !event.xcreatewindow.override_redirect) {
            const XCreateWindowEvent& e = event.xcreatewindow;
            places_[e.window] = {e.x, e.y, e.width, e.height};
        } else if (event.type == ConfigureNotify && places_.contains(event.xconfigure.window)) {
            const XConfigureEvent& e = event.xconfigure;
            places_[e.window] = {e.x, e.y, e.width, e.height};
        } else if (event.type == MapNotify && places_.contains(event.xmap.window)) {
            mapped_ = event.xmap.window;
            atMap();
            return places_[event.xmap.window];
        }
    }
    return std::nullopt;
}

}  // namespace kiosk::testing
