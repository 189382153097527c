#include "platform/linux/x_display.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <stdexcept>
#include <string>

namespace kiosk {

XDisplay::XDisplay(const char* name) : display_(XOpenDisplay(name)) {
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open X display " +
                                 std::string(name != nullptr ? name : XDisplayName(nullptr)));
    }
}

XDisplay::~XDisplay() {
    XCloseDisplay(display_);
}

Display* GdkXDisplay() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return nullptr;
    return gdk_x11_display_get_xdisplay(display);
}

}  // namespace kiosk
