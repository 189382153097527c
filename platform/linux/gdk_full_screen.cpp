#include "platform/linux/gdk_full_screen.h"

#include <gdk/gdk.h>

namespace kiosk {

void GdkFullScreenSizer::FitToScreen(MainWindowControls& window) {
    ControlModel& form = window.Window;
    saved_ = {form.Left, form.Top, form.Width, form.Height};
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor == nullptr) return;
    GdkRectangle screen;
    gdk_monitor_get_geometry(monitor, &screen);
    form.Left = screen.x;
    form.Top = screen.y;
    form.Width = screen.width;
    form.Height = screen.height;
}

}  // namespace kiosk
