#pragma once

// Xlib's display, declared without Xlib's header so that its macros (None, ...) stay out of the
// code that includes this one.
typedef struct _XDisplay Display;

namespace kiosk {

// A connection of its own to an X display, closed with the object.
class XDisplay {
public:
    // name as XOpenDisplay takes it; null for $DISPLAY. Throws std::runtime_error when the display
    // cannot be opened.
    explicit XDisplay(const char* name = nullptr);
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;
    ~XDisplay();

    Display* get() const { return display_; }

private:
    Display* display_;
};

// The X connection GTK's default display uses; null when GDK has no display or it is not on X11.
Display* GdkXDisplay();

}  // namespace kiosk
