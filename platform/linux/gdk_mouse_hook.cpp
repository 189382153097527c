#include "platform/linux/gdk_mouse_hook.h"

#include <gtk/gtk.h>

#include "shell/right_button_filter.h"

namespace kiosk {

namespace {

MouseButton ButtonOf(const GdkEventButton& event) {
    switch (event.button) {
        case GDK_BUTTON_PRIMARY:
            return MouseButton::Left;
        case GDK_BUTTON_MIDDLE:
            return MouseButton::Middle;
        case GDK_BUTTON_SECONDARY:
            return MouseButton::Right;
        default:
            return MouseButton::Other;
    }
}

MouseAction ActionOf(GdkEventType type) {
    switch (type) {
        case GDK_BUTTON_PRESS:
            return MouseAction::Press;
        case GDK_BUTTON_RELEASE:
            return MouseAction::Release;
        case GDK_2BUTTON_PRESS:
            return MouseAction::DoubleClick;
        default:
            return MouseAction::Other;
    }
}

void FilterEvent(GdkEvent* event, gpointer) {
    const GdkEventType type = event->type;
    if (type == GDK_BUTTON_PRESS || type == GDK_BUTTON_RELEASE || type == GDK_2BUTTON_PRESS ||
        type == GDK_3BUTTON_PRESS) {
        if (SwallowsMouseEvent(ButtonOf(event->button), ActionOf(type))) return;
    }
    gtk_main_do_event(event);
}

void DispatchEvent(GdkEvent* event, gpointer) {
    gtk_main_do_event(event);
}

}  // namespace

MouseHookHandle GdkMouseHookInstaller::Install() {
    gdk_event_handler_set(&FilterEvent, nullptr, nullptr);
    installed_ = true;
    lockedDown_ = true;
    return kInstalled;
}

void GdkMouseHookInstaller::Remove(MouseHookHandle hook) {
    if (hook != kInstalled || !installed_) return;
    gdk_event_handler_set(&DispatchEvent, nullptr, nullptr);
    installed_ = false;
    lockedDown_ = false;
}

}  // namespace kiosk
