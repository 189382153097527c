#include "platform/linux/gtk_ui.h"

#include "platform/linux/accessibility_bridge.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace kiosk {

GtkUi::GtkUi() {
    // The graphics driver would keep the shaders of visitors' pages (WebGL, CSS effects) in a cache
    // under the user's home; this process and the browser's processes it starts keep nothing.
    g_setenv("MESA_SHADER_CACHE_DISABLE", "true", TRUE);
    QuietAccessibilityBridgeWithoutSessionBus();
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        throw std::runtime_error(std::string("Нет доступа к дисплею ") +
                                 (display ? display : "(DISPLAY не задан)"));
    }
}

void GtkUi::ShowErrorBox(const std::string& title, const std::string& message) {
    // Also on standard error, where an operator's service log keeps it.
    GlibUi::ShowErrorBox(title, message);
    if (closing_) return;
    GtkWidget* dialog = gtk_message_dialog_new(mainWindow_, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                               GTK_BUTTONS_OK, "%s", message.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER_ALWAYS);
    openBoxes_.push_back(GTK_DIALOG(dialog));
    gtk_dialog_run(GTK_DIALOG(dialog));
    openBoxes_.pop_back();
    gtk_widget_destroy(dialog);
}

void GtkUi::CloseErrorBoxes() {
    for (GtkDialog* box : openBoxes_) gtk_dialog_response(box, GTK_RESPONSE_CLOSE);
}

void GtkUi::CloseMainWindow() {
    closing_ = true;
    CloseErrorBoxes();
    GlibUi::CloseMainWindow();
}

// Setting an empty text takes the clipboard over from whoever holds it (the browser after a copy).
void GtkUi::ClearClipboard() {
    for (const GdkAtom selection : {GDK_SELECTION_CLIPBOARD, GDK_SELECTION_PRIMARY}) {
        GtkClipboard* clipboard = gtk_clipboard_get(selection);
        gtk_clipboard_set_text(clipboard, "", 0);
        gtk_clipboard_clear(clipboard);
    }
}

bool GtkUi::CtrlKeyDown() const {
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    return (gdk_keymap_get_modifier_state(keymap) & GDK_CONTROL_MASK) != 0;
}

}  // namespace kiosk
