#pragma once

#include <glib.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "keyboard/key_template.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {

// GTK on the process's own display.
inline void StartGtk() {
    ProcessDisplay();
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    static const bool started = gtk_init_check(nullptr, nullptr);
    if (!started) throw std::runtime_error("GTK cannot start");
}

// Starts GTK when constructed, as the first member of a fixture whose other members need it.
struct GtkStarted {
    GtkStarted() { StartGtk(); }
};

// Handles the pending events, as the program's ProcessMessages does.
inline void Pump() {
    for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

// Handles events until done() holds or 5 seconds have passed; returns done().
inline bool PumpUntil(const std::function<bool()>& done) {
    const gint64 end = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
    while (!done() && g_get_monotonic_time() < end) {
        Pump();
        g_usleep(5000);
    }
    return done();
}

// Sets the server's layouts as setxkbmap's arguments say, with no options but those given.
inline void SetLayout(const std::string& arguments) {
    RunOnDisplay(ProcessDisplay(), "setxkbmap -option '' " + arguments);
    Pump();
}

// A shown window with the input focus, holding a text entry that has the focus, above a fixed panel.
class EntryWindow {
public:
    EntryWindow() {
        gtk_container_add(GTK_CONTAINER(window_), box_);
        gtk_box_pack_start(GTK_BOX(box_), entry_, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(box_), panel_, TRUE, TRUE, 0);
        gtk_window_set_default_size(GTK_WINDOW(window_), 900, 400);
        gtk_widget_show_all(window_);
        gtk_window_present(GTK_WINDOW(window_));
        gtk_widget_grab_focus(entry_);
        if (!PumpUntil([this] { return gtk_window_has_toplevel_focus(GTK_WINDOW(window_)) != FALSE; })) {
            throw std::runtime_error("the test window did not get the focus");
        }
    }
    EntryWindow(const EntryWindow&) = delete;
    EntryWindow& operator=(const EntryWindow&) = delete;
    ~EntryWindow() { gtk_widget_destroy(window_); }

    GtkWindow* Window() const { return GTK_WINDOW(window_); }
    GtkWidget* Entry() const { return entry_; }
    GtkFixed* Panel() const { return GTK_FIXED(panel_); }
    std::string Text() const { return gtk_entry_get_text(GTK_ENTRY(entry_)); }
    // Waits for the entry to show text; true when it does.
    bool ShowsText(const std::string& text) const {
        return PumpUntil([&] { return Text() == text; });
    }

private:
    GtkStarted gtk_;
    GtkWidget* window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget* box_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    GtkWidget* entry_ = gtk_entry_new();
    GtkWidget* panel_ = gtk_fixed_new();
};

// The index of the template's key with action and code.
inline std::size_t KeyIndex(KeyAction action, std::uint16_t code = 0) {
    const auto& elements = KeyTemplate();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].Action == action && elements[i].Code == code) return i;
    }
    throw std::runtime_error("no such key");
}

inline std::size_t CharacterKey(std::uint16_t code) {
    return KeyIndex(KeyAction::Character, code);
}

}  // namespace kiosk::testing
