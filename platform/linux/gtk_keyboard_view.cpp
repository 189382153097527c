#include "platform/linux/gtk_keyboard_view.h"

#include "platform/linux/button_caption.h"
#include "platform/linux/embedded_files.h"
#include "platform/linux/picture_loader.h"

namespace kiosk {
namespace {

constexpr int kPictureSize = 16;
constexpr char kKeyClass[] = "kiosk-key";
// The keys are as large as placed: no padding or minimum size of the theme's buttons.
constexpr char kKeyStyle[] = "button.kiosk-key { padding: 0; min-width: 0; min-height: 0; }";
constexpr char kFontFamilies[] = "Tahoma,DejaVu Sans";

std::string_view PictureFile(KeyPicture picture) {
    switch (picture) {
        case KeyPicture::ArrowUp:
            return "key-arrow-up.svg";
        case KeyPicture::ArrowDown:
            return "key-arrow-down.svg";
        case KeyPicture::ArrowLeft:
            return "key-arrow-left.svg";
        case KeyPicture::ArrowRight:
            return "key-arrow-right.svg";
        case KeyPicture::Copy:
            return "key-copy.svg";
        case KeyPicture::Paste:
            return "key-paste.svg";
        case KeyPicture::None:
            break;
    }
    return {};
}

void SetFont(GtkLabel* label, const KeyFont& font) {
    PangoFontDescription* description = pango_font_description_from_string(kFontFamilies);
    pango_font_description_set_absolute_size(description, font.Height * PANGO_SCALE);
    pango_font_description_set_weight(description, font.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_font_desc_new(description));
    gtk_label_set_attributes(label, attributes);
    pango_attr_list_unref(attributes);
    pango_font_description_free(description);
}

// The button's content: the key's picture, when there is one, and its caption.
GtkLabel* AddContent(GtkWidget* button, const PlacedKey& key) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_halign(box, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(box, GTK_ALIGN_CENTER);
    if (const auto picture =
            LoadPicture(EmbeddedPicture(PictureFile(key.Picture)), kPictureSize, kPictureSize)) {
        gtk_box_pack_start(GTK_BOX(box), gtk_image_new_from_pixbuf(picture.get()), FALSE, FALSE, 0);
    }
    GtkWidget* label = gtk_label_new(nullptr);
    // A caption wider than its key is cut short rather than widening the key.
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    SetFont(GTK_LABEL(label), key.Font);
    gtk_box_pack_start(GTK_BOX(box), label, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(button), box);
    gtk_widget_show_all(box);
    return GTK_LABEL(label);
}

}  // namespace

// One placed key's button, with a reference of its own so that it can be removed even when the host
// went first, and the values it shows.
struct GtkKeyboardView::KeyButton {
    KeyButton(GtkKeyboardView& view, std::size_t index) : view(view), index(index) {}
    KeyButton(const KeyButton&) = delete;
    KeyButton& operator=(const KeyButton&) = delete;
    ~KeyButton() {
        if (g_signal_handler_is_connected(button, clicked)) g_signal_handler_disconnect(button, clicked);
        if (gtk_widget_get_parent(button) != nullptr) gtk_widget_destroy(button);
        g_object_unref(button);
    }

    static void OnClicked(GtkButton*, gpointer self) {
        auto* key = static_cast<KeyButton*>(self);
        key->view.Clicked(key->index);
    }

    GtkKeyboardView& view;
    const std::size_t index;
    GtkWidget* button = GTK_WIDGET(g_object_ref_sink(gtk_button_new()));
    GtkLabel* label = nullptr;
    gulong clicked = 0;
    ControlModel shown;
};

GtkKeyboardView::GtkKeyboardView(GtkFixed* host, TemplateOnScreenKeyboard& keyboard)
    : host_(host), keyboard_(keyboard), style_(GObjectRef<GtkCssProvider>::Adopt(gtk_css_provider_new())) {
    gtk_css_provider_load_from_data(style_.get(), kKeyStyle, -1, nullptr);
}

GtkKeyboardView::~GtkKeyboardView() = default;

void GtkKeyboardView::Build() {
    buttons_.clear();
    const std::vector<PlacedKey>& keys = keyboard_.PlacedKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const PlacedKey& key = keys[i];
        auto& made = buttons_.emplace_back(std::make_unique<KeyButton>(*this, i));
        GtkWidget* button = made->button;
        gtk_button_set_relief(GTK_BUTTON(button), key.Flat ? GTK_RELIEF_NONE : GTK_RELIEF_NORMAL);
        gtk_widget_set_can_focus(button, FALSE);
        gtk_widget_set_focus_on_click(button, FALSE);
        GtkStyleContext* style = gtk_widget_get_style_context(button);
        gtk_style_context_add_class(style, kKeyClass);
        gtk_style_context_add_provider(style, GTK_STYLE_PROVIDER(style_.get()),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        made->label = AddContent(button, key);
        gtk_widget_set_size_request(button, key.Width, key.Height);
        gtk_fixed_put(host_, button, key.Left, key.Top);
        made->clicked = g_signal_connect(button, "clicked", G_CALLBACK(&KeyButton::OnClicked), made.get());
        Apply(*made, key, true);
    }
}

void GtkKeyboardView::Sync() {
    const std::vector<PlacedKey>& keys = keyboard_.PlacedKeys();
    for (std::size_t i = 0; i < buttons_.size() && i < keys.size(); ++i) Apply(*buttons_[i], keys[i], false);
}

void GtkKeyboardView::Apply(KeyButton& button, const PlacedKey& key, bool always) {
    ControlModel& shown = button.shown;
    if (always || key.Caption != shown.Caption) {
        gtk_label_set_text(button.label, ShownCaption(key.Caption).c_str());
        shown.Caption = key.Caption;
    }
    if (always || key.Visible != shown.Visible) {
        gtk_widget_set_visible(button.button, key.Visible);
        shown.Visible = key.Visible;
    }
    if (always || key.Enabled != shown.Enabled) {
        gtk_widget_set_sensitive(button.button, key.Enabled);
        shown.Enabled = key.Enabled;
    }
    // A pressed-down key shows as checked: the button itself only ever sets and clears "active".
    if (always || key.Down != shown.Down) {
        if (key.Down) {
            gtk_widget_set_state_flags(button.button, GTK_STATE_FLAG_CHECKED, FALSE);
        } else {
            gtk_widget_unset_state_flags(button.button, GTK_STATE_FLAG_CHECKED);
        }
        shown.Down = key.Down;
    }
}

void GtkKeyboardView::Clicked(std::size_t index) {
    KeyboardForm* form = keyboard_.Template();
    const std::vector<PlacedKey>& keys = keyboard_.PlacedKeys();
    if (form == nullptr || index >= keys.size()) return;
    form->Click(keys[index].Element);
    Sync();
}

}  // namespace kiosk
