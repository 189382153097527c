#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>

#include "shell/main_window_view.h"
#include "shell/window_arrangement.h"

namespace kiosk {

class GtkUi;

// Pixel sizes of the window's text and pictures on this screen.
struct WindowFonts {
    int text = 13;     // the window's font
    int caption = 33;  // the out-of-order caption, bold
    int picture = 32;  // the buttons' pictures, square
};

// The main window on GTK: an undecorated window whose controls sit at the positions the models
// give (a GtkFixed), mirrored from the models after every handler and every 50 ms.
class GtkMainWindow : public MainWindowView {
public:
    GtkMainWindow(GtkUi& ui, WindowFonts fonts = {});
    GtkMainWindow(const GtkMainWindow&) = delete;
    GtkMainWindow& operator=(const GtkMainWindow&) = delete;
    ~GtkMainWindow() override;

    void Attach(MainWindowControls& controls, MainWindowHandlers handlers) override;
    void Show() override;
    void Sync() override;
    void Detach() override;

    // Where browser controls put their view: over the out-of-order caption.
    GtkOverlay* BrowserHost() const { return GTK_OVERLAY(pageArea_); }
    // The keyboard place; keys are put into it at their placed positions.
    GtkFixed* KeyboardHost() const { return GTK_FIXED(keyboardPlace_); }
    GtkWindow* Window() const { return GTK_WINDOW(window_); }
    // Runs with every Sync, after the window's own controls (the keyboard view mirrors its keys).
    void SetExtraSync(std::function<void()> sync) { extraSync_ = std::move(sync); }

private:
    struct Button {
        GtkWidget* widget = nullptr;
        GtkWidget* label = nullptr;
    };
    // What the screen shows now, so that only changes reach GTK.
    struct Applied {
        Rect form{-1, -1, -1, -1};
        WindowArrangement places;
        std::string captions[5];
        std::optional<std::string> picture;
    };

    Button MakeButton(const char* pictureName, bool toggle);
    void ConnectSignals();
    void Place(GtkWidget* widget, const Rect& place, const ControlModel& model, Rect& applied);
    void SyncWindow();
    void SyncButton(const Button& button, const ControlModel& model, const Rect& place, Rect& applied,
                    std::string& caption);
    void SyncAnimator(const Rect& place);
    void RunHandler(const std::function<void()>& handler);

    static void OnClicked(GtkButton* button, gpointer self);
    static gboolean OnKeyRelease(GtkWidget*, GdkEventKey*, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean OnSyncTimer(gpointer self);

    GtkUi& ui_;
    WindowFonts fonts_;
    GtkWidget* window_;
    GtkWidget* client_;
    GtkWidget* pageArea_;
    GtkWidget* caption_;
    GtkWidget* bottomPanel_;
    Button home_, back_, refresh_, keys_;
    GtkWidget* keyboardPlace_;
    GtkWidget* animator_;
    GtkCssProvider* css_;
    MainWindowControls* controls_ = nullptr;
    MainWindowHandlers handlers_;
    std::function<void()> extraSync_;
    guint syncTimer_ = 0;
    bool syncing_ = false;
    Applied applied_;
};

}  // namespace kiosk
