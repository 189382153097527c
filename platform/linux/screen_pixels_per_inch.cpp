#include "platform/linux/screen_pixels_per_inch.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include "shell/screen_density.h"

namespace kiosk {
namespace {

GdkMonitor* WindowMonitor(GdkDisplay* display) {
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

ScreenSize MonitorSize(GdkMonitor* monitor) {
    GdkRectangle geometry{};
    gdk_monitor_get_geometry(monitor, &geometry);
    return {geometry.width, geometry.height, gdk_monitor_get_width_mm(monitor),
            gdk_monitor_get_height_mm(monitor)};
}

// The X screen's size as the server is set up (its -dpi, or the DisplaySize of its configuration),
// in GDK's pixels: the X pixels divided by the monitor's scale.
ScreenSize XScreenSize(GdkDisplay* display, int scale) {
    if (!GDK_IS_X11_DISPLAY(display) || scale <= 0) return {};
    Display* x = GDK_DISPLAY_XDISPLAY(display);
    const int screen = DefaultScreen(x);
    return {DisplayWidth(x, screen) / scale, DisplayHeight(x, screen) / scale, DisplayWidthMM(x, screen),
            DisplayHeightMM(x, screen)};
}

}  // namespace

int ScreenPixelsPerInch() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) return ChooseScreenDensity({}, {});
    GdkMonitor* monitor = WindowMonitor(display);
    if (monitor == nullptr) return ChooseScreenDensity({}, XScreenSize(display, 1));
    return ChooseScreenDensity(MonitorSize(monitor),
                               XScreenSize(display, gdk_monitor_get_scale_factor(monitor)));
}

}  // namespace kiosk
