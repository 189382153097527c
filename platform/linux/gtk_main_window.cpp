#include "platform/linux/gtk_main_window.h"

#include <cmath>

#include "platform/linux/embedded_files.h"
#include "platform/linux/gtk_ui.h"
#include "platform/linux/picture_loader.h"

namespace kiosk {

namespace {

constexpr guint kSyncInterval = 50;  // ms
std::string StyleSheet(const WindowFonts& fonts) {
    const auto px = [](int size) { return std::to_string(size) + "px"; };
    return "window.kiosk { background-color: #dcdad5; }\n"
           "window.kiosk, window.kiosk * { font-family: Tahoma, \"DejaVu Sans\"; font-size: " +
           px(fonts.text) +
           "; }\n"
           "window.kiosk label.kiosk-out-of-order { color: #e00000; font-weight: bold; font-size: " +
           px(fonts.caption) +
           "; }\n"
           ".kiosk-bottom { background-image: linear-gradient(#f4f3f1, #d9d7d2); border-top: 1px solid "
           "#a9a59c; "
           "}\n"
           "button.kiosk-button { padding: 2px; border-radius: 8px; color: #000000; }\n"
           "button.kiosk-button label { color: #000000; }\n";
}

gboolean PaintBackground(GtkWidget* widget, cairo_t* cr, gpointer) {
    gtk_render_background(gtk_widget_get_style_context(widget), cr, 0, 0,
                          gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget));
    gtk_render_frame(gtk_widget_get_style_context(widget), cr, 0, 0, gtk_widget_get_allocated_width(widget),
                     gtk_widget_get_allocated_height(widget));
    return FALSE;
}

// A plain area that paints its style's background, for the panels.
GtkWidget* Panel(const char* styleClass) {
    GtkWidget* panel = gtk_drawing_area_new();
    gtk_style_context_add_class(gtk_widget_get_style_context(panel), styleClass);
    g_signal_connect(panel, "draw", G_CALLBACK(&PaintBackground), nullptr);
    return panel;
}

}  // namespace

GtkMainWindow::GtkMainWindow(GtkUi& ui, WindowFonts fonts) : ui_(ui), fonts_(fonts) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "Киоск");
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    gtk_style_context_add_class(gtk_widget_get_style_context(window_), "kiosk");
    css_ = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css_, StyleSheet(fonts_).c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window_), GTK_STYLE_PROVIDER(css_),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);

    client_ = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(window_), client_);

    pageArea_ = gtk_overlay_new();
    caption_ = gtk_label_new("");
    gtk_style_context_add_class(gtk_widget_get_style_context(caption_), "kiosk-out-of-order");
    gtk_container_add(GTK_CONTAINER(pageArea_), caption_);
    gtk_fixed_put(GTK_FIXED(client_), pageArea_, 0, 0);

    bottomPanel_ = Panel("kiosk-bottom");
    gtk_fixed_put(GTK_FIXED(client_), bottomPanel_, 0, 0);
    // The button area has nothing to draw: its buttons sit where the arrangement puts them.
    home_ = MakeButton("button-home.svg", false);
    back_ = MakeButton("button-back.svg", false);
    refresh_ = MakeButton("button-refresh.svg", false);
    keys_ = MakeButton("button-keys.svg", true);
    keyboardPlace_ = gtk_fixed_new();
    gtk_fixed_put(GTK_FIXED(client_), keyboardPlace_, 0, 0);
    animator_ = gtk_image_new();
    gtk_fixed_put(GTK_FIXED(client_), animator_, 0, 0);

    gtk_widget_show_all(client_);
    gtk_widget_hide(keyboardPlace_);
    gtk_widget_hide(animator_);
    ConnectSignals();
    ui_.SetMainWindow(GTK_WINDOW(window_));
}

GtkMainWindow::~GtkMainWindow() {
    Detach();
    ui_.SetMainWindow(nullptr);
    gtk_style_context_remove_provider_for_screen(gtk_widget_get_screen(window_), GTK_STYLE_PROVIDER(css_));
    g_object_unref(css_);
    gtk_widget_destroy(window_);
}

GtkMainWindow::Button GtkMainWindow::MakeButton(const char* pictureName, bool toggle) {
    Button button;
    button.widget = toggle ? gtk_toggle_button_new() : gtk_button_new();
    gtk_style_context_add_class(gtk_widget_get_style_context(button.widget), "kiosk-button");
    // The page keeps the keyboard focus, so typing and the on-screen keys go to its fields.
    gtk_widget_set_can_focus(button.widget, FALSE);
    gtk_widget_set_focus_on_click(button.widget, FALSE);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    gtk_widget_set_valign(box, GTK_ALIGN_CENTER);
    const int size = fonts_.picture;
    if (const auto picture = LoadPicture(EmbeddedPicture(pictureName), size, size))
        gtk_box_pack_start(GTK_BOX(box), gtk_image_new_from_pixbuf(picture.get()), FALSE, FALSE, 0);
    button.label = gtk_label_new("");
    gtk_box_pack_start(GTK_BOX(box), button.label, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(button.widget), box);
    gtk_fixed_put(GTK_FIXED(client_), button.widget, 0, 0);
    return button;
}

void GtkMainWindow::ConnectSignals() {
    for (const Button* button : {&home_, &back_, &refresh_, &keys_})
        g_signal_connect(button->widget, "clicked", G_CALLBACK(&GtkMainWindow::OnClicked), this);
    g_signal_connect(window_, "key-release-event", G_CALLBACK(&GtkMainWindow::OnKeyRelease), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkMainWindow::OnDelete), this);
}

void GtkMainWindow::Attach(MainWindowControls& controls, MainWindowHandlers handlers) {
    controls_ = &controls;
    handlers_ = std::move(handlers);
    Sync();
    if (syncTimer_ == 0) syncTimer_ = g_timeout_add(kSyncInterval, &GtkMainWindow::OnSyncTimer, this);
}

// Without a window manager the models' screen-sized place covers the screen; with one, the
// full-screen and keep-above requests keep panels and other windows from covering the kiosk.
void GtkMainWindow::Show() {
    Sync();
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    gtk_window_fullscreen(GTK_WINDOW(window_));
    gtk_widget_show(window_);
}

void GtkMainWindow::Detach() {
    if (syncTimer_ != 0) g_source_remove(syncTimer_);
    syncTimer_ = 0;
    controls_ = nullptr;
    handlers_ = {};
}

void GtkMainWindow::Sync() {
    if (controls_ == nullptr || syncing_) return;
    syncing_ = true;
    const MainWindowControls& c = *controls_;
    SyncWindow();
    const WindowArrangement places = ArrangeWindow(c);
    WindowArrangement& applied = applied_.places;
    Place(pageArea_, places.PageArea, c.PageArea, applied.PageArea);
    if (applied_.captions[0] != c.PageArea.Caption) {
        applied_.captions[0] = c.PageArea.Caption;
        gtk_label_set_text(GTK_LABEL(caption_), c.PageArea.Caption.c_str());
    }
    Place(bottomPanel_, places.BottomPanel, c.BottomPanel, applied.BottomPanel);
    SyncButton(home_, c.HomeButton, places.HomeButton, applied.HomeButton, applied_.captions[1]);
    SyncButton(back_, c.BackButton, places.BackButton, applied.BackButton, applied_.captions[2]);
    SyncButton(refresh_, c.RefreshButton, places.RefreshButton, applied.RefreshButton, applied_.captions[3]);
    SyncButton(keys_, c.KeysButton, places.KeysButton, applied.KeysButton, applied_.captions[4]);
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(keys_.widget)) != c.KeysButton.Down)
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(keys_.widget), c.KeysButton.Down);
    Place(keyboardPlace_, places.KeyboardPlace, c.KeyboardPlace, applied.KeyboardPlace);
    SyncAnimator(places.BusyAnimation);
    if (extraSync_) extraSync_();
    syncing_ = false;
}

void GtkMainWindow::SyncWindow() {
    const ControlModel& form = controls_->Window;
    const Rect bounds{form.Left, form.Top, form.Width, form.Height};
    if (bounds == applied_.form) return;
    applied_.form = bounds;
    gtk_widget_set_size_request(client_, form.Width, form.Height);
    gtk_window_move(GTK_WINDOW(window_), form.Left, form.Top);
    gtk_window_resize(GTK_WINDOW(window_), form.Width, form.Height);
}

void GtkMainWindow::Place(GtkWidget* widget, const Rect& place, const ControlModel& model, Rect& applied) {
    if (place != applied) {
        if (place.Left != applied.Left || place.Top != applied.Top)
            gtk_fixed_move(GTK_FIXED(gtk_widget_get_parent(widget)), widget, place.Left, place.Top);
        if (place.Width != applied.Width || place.Height != applied.Height)
            gtk_widget_set_size_request(widget, std::max(place.Width, 0), std::max(place.Height, 0));
        applied = place;
    }
    gtk_widget_set_visible(widget, model.Visible);
    gtk_widget_set_sensitive(widget, model.Enabled);
}

void GtkMainWindow::SyncButton(const Button& button, const ControlModel& model, const Rect& place,
                               Rect& applied, std::string& caption) {
    Place(button.widget, place, model, applied);
    if (caption == model.Caption) return;
    caption = model.Caption;
    gtk_label_set_text(GTK_LABEL(button.label), caption.c_str());
}

void GtkMainWindow::SyncAnimator(const Rect& place) {
    const AnimatorModel& model = controls_->BusyAnimation;
    if (!applied_.picture || *applied_.picture != model.Picture) {
        applied_.picture = model.Picture;
        // A picture that turns out not to be a readable animation leaves the built-in one.
        GObjectRef<GdkPixbufAnimation> animation = LoadAnimation(model.Picture);
        if (!animation) animation = LoadAnimation(EmbeddedPicture("busy.gif"));
        if (animation) gtk_image_set_from_animation(GTK_IMAGE(animator_), animation.get());
    }
    Place(animator_, place, model, applied_.places.BusyAnimation);
}

void GtkMainWindow::RunHandler(const std::function<void()>& handler) {
    if (handler) handler();
    Sync();
}

void GtkMainWindow::OnClicked(GtkButton* button, gpointer self) {
    auto* window = static_cast<GtkMainWindow*>(self);
    if (window->syncing_ || window->controls_ == nullptr) return;
    GtkWidget* widget = GTK_WIDGET(button);
    if (widget == window->home_.widget) window->RunHandler(window->handlers_.Home);
    if (widget == window->back_.widget) window->RunHandler(window->handlers_.Back);
    if (widget == window->refresh_.widget) window->RunHandler(window->handlers_.Refresh);
    if (widget == window->keys_.widget) {
        window->controls_->KeysButton.Down = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget));
        window->RunHandler(window->handlers_.Keys);
    }
}

gboolean GtkMainWindow::OnKeyRelease(GtkWidget*, GdkEventKey*, gpointer self) {
    auto* window = static_cast<GtkMainWindow*>(self);
    if (window->controls_ != nullptr) window->RunHandler(window->handlers_.KeyUp);
    return FALSE;  // the key release goes on to the focused control
}

gboolean GtkMainWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer) {
    // A window manager's close (Alt+F4 on a plugged-in keyboard) is refused: visitors never end the
    // kiosk. The program ends on SIGTERM or SIGINT, which run the shutdown sequence.
    return TRUE;
}

gboolean GtkMainWindow::OnSyncTimer(gpointer self) {
    static_cast<GtkMainWindow*>(self)->Sync();
    return G_SOURCE_CONTINUE;
}

}  // namespace kiosk
