#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "keyboard/template_keyboard.h"
#include "platform/linux/gobject_ref.h"

namespace kiosk {

// The placed keys of the on-screen keyboard as GTK buttons in the main window's keyboard panel. A
// click runs the template's handler of the key. The buttons never take the input focus, so the keys
// they inject reach the element that has it.
class GtkKeyboardView {
public:
    // host and keyboard must outlive the view.
    GtkKeyboardView(GtkFixed* host, TemplateOnScreenKeyboard& keyboard);
    GtkKeyboardView(const GtkKeyboardView&) = delete;
    GtkKeyboardView& operator=(const GtkKeyboardView&) = delete;
    // Removes the buttons from the host.
    ~GtkKeyboardView();

    // One button per placed key, at its place and size; replaces the buttons of an earlier Build.
    void Build();
    // Shows the placed keys' captions, visibility, enabled and down states where they changed.
    void Sync();

private:
    struct KeyButton;

    void Clicked(std::size_t index);
    void Apply(KeyButton& button, const PlacedKey& key, bool always);

    GtkFixed* host_;
    TemplateOnScreenKeyboard& keyboard_;
    GObjectRef<GtkCssProvider> style_;
    std::vector<std::unique_ptr<KeyButton>> buttons_;
};

}  // namespace kiosk
