#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "platform/linux/glib_ui.h"

namespace kiosk {

// The event loop with GTK on the X display: error boxes are modal dialogs over the main window and
// the Ctrl key's state is the X server's.
class GtkUi : public GlibUi {
public:
    // Throws std::runtime_error when no X display can be opened.
    GtkUi();

    void ShowErrorBox(const std::string& title, const std::string& message) override;
    void CloseErrorBoxes() override;
    void ClearClipboard() override;
    bool CtrlKeyDown() const override;
    // Also closes an error box that is open, so that a termination signal is never held up by one;
    // from then on error boxes only go to standard error: nobody may be there to close one, and the
    // shutdown must not wait for it.
    void CloseMainWindow() override;

    // The window the error boxes belong to; nullptr while there is none.
    void SetMainWindow(GtkWindow* window) { mainWindow_ = window; }

private:
    GtkWindow* mainWindow_ = nullptr;
    bool closing_ = false;
    // The boxes open now, the innermost last (a box's own event loop may show another).
    std::vector<GtkDialog*> openBoxes_;
};

}  // namespace kiosk
