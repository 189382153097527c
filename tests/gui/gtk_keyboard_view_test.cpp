#include "platform/linux/gtk_keyboard_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyboard/template_keyboard.h"
#include "platform/linux/x_display.h"
#include "platform/linux/xkb_keyboard_layout.h"
#include "platform/linux/xkb_keyboard_settings.h"
#include "platform/linux/xtest_key_injector.h"
#include "tests/gui/keyboard_window.h"

namespace kiosk::testing {
namespace {

std::vector<GtkWidget*> Children(GtkFixed* panel) {
    GList* list = gtk_container_get_children(GTK_CONTAINER(panel));
    std::vector<GtkWidget*> children;
    for (GList* item = list; item != nullptr; item = item->next) children.push_back(GTK_WIDGET(item->data));
    g_list_free(list);
    return children;
}

// The text a key button shows: its content is a box that ends with the caption's label.
std::string Label(GtkWidget* button) {
    GList* content = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(button))));
    const std::string text = gtk_label_get_text(GTK_LABEL(g_list_last(content)->data));
    g_list_free(content);
    return text;
}

class KeyboardView : public ::testing::Test {
protected:
    void SetUp() override {
        SetLayout("-layout us");
        keyboard.PlaceKeyboard(controls.KeyboardPlace, controls, 0, 0);
        view.Build();
        buttons = Children(window.Panel());
        // Laid out and drawn before the buttons are looked at or clicked.
        PumpUntil([&] { return gtk_widget_get_mapped(buttons.back()) != FALSE; });
        Pump();
    }

    GtkWidget* Button(std::uint16_t code) { return buttons.at(CharacterKey(code)); }

    static void CountClick(GtkButton*, gpointer count) { ++*static_cast<int*>(count); }

    // A real click of the pointer at the middle of button; returns once the view has handled it.
    void ClickOn(GtkWidget* button) {
        int clicks = 0;
        const gulong counter = g_signal_connect(button, "clicked", G_CALLBACK(&CountClick), &clicks);
        int x = 0;
        int y = 0;
        gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(window.Window())), &x, &y);
        int left = 0;
        int top = 0;
        gtk_widget_translate_coordinates(button, GTK_WIDGET(window.Window()), 0, 0, &left, &top);
        x += left + gtk_widget_get_allocated_width(button) / 2;
        y += top + gtk_widget_get_allocated_height(button) / 2;
        RunOnDisplay(ProcessDisplay(),
                     "xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
        EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
        g_signal_handler_disconnect(button, counter);
    }

    EntryWindow window;
    XTestKeyInjector injector{GdkXDisplay()};
    XkbKeyboardLayout layout;
    XkbKeyboardSettings settings{GdkXDisplay()};
    TemplateOnScreenKeyboard keyboard{injector, layout, settings, Pump};
    MainWindowControls controls;
    GtkKeyboardView view{window.Panel(), keyboard};
    std::vector<GtkWidget*> buttons;
};

TEST_F(KeyboardView, OneButtonPerPlacedKeyAtItsPlaceThatNeverTakesTheFocus) {
    const std::vector<PlacedKey>& keys = keyboard.PlacedKeys();
    ASSERT_EQ(buttons.size(), keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        int left = -1;
        int top = -1;
        gtk_widget_translate_coordinates(buttons[i], GTK_WIDGET(window.Panel()), 0, 0, &left, &top);
        EXPECT_EQ(left, keys[i].Left) << i;
        EXPECT_EQ(top, keys[i].Top) << i;
        EXPECT_EQ(gtk_widget_get_allocated_width(buttons[i]), keys[i].Width) << i;
        EXPECT_EQ(gtk_widget_get_allocated_height(buttons[i]), keys[i].Height) << i;
        EXPECT_FALSE(gtk_widget_get_can_focus(buttons[i])) << i;
        EXPECT_FALSE(gtk_widget_get_focus_on_click(buttons[i])) << i;
        EXPECT_EQ(gtk_widget_get_sensitive(buttons[i]) != FALSE, keys[i].Enabled) << i;
        EXPECT_EQ(gtk_button_get_relief(GTK_BUTTON(buttons[i])) == GTK_RELIEF_NONE, keys[i].Flat) << i;
        EXPECT_EQ(Label(buttons[i]), keys[i].Caption) << i;
    }
}

TEST_F(KeyboardView, ClicksTypeIntoTheFocusedEntryAndLeaveItTheFocus) {
    ClickOn(Button('Q'));
    EXPECT_TRUE(window.ShowsText("q")) << window.Text();
    ClickOn(buttons.at(KeyIndex(KeyAction::Shift)));
    // The click showed the shifted captions at once.
    EXPECT_EQ(Label(Button('Q')), "Q");
    EXPECT_EQ(Label(Button('7')), "&");
    ClickOn(Button('W'));
    ClickOn(Button('7'));
    EXPECT_TRUE(window.ShowsText("qW&")) << window.Text();
    ClickOn(buttons.at(KeyIndex(KeyAction::Shift)));
    EXPECT_EQ(Label(Button('Q')), "q");
    ClickOn(buttons.at(KeyIndex(KeyAction::Press, 0x08)));
    EXPECT_TRUE(window.ShowsText("qW")) << window.Text();
    EXPECT_EQ(gtk_window_get_focus(window.Window()), window.Entry());
    EXPECT_TRUE(gtk_widget_has_focus(window.Entry()));
}

TEST_F(KeyboardView, CaptionsChangedElsewhereShowOnSync) {
    keyboard.Template()->ShiftKey();
    EXPECT_EQ(Label(Button('Q')), "q");
    view.Sync();
    EXPECT_EQ(Label(Button('Q')), "Q");
}

TEST_F(KeyboardView, ButtonsGoWithTheViewAndABuildReplacesThem) {
    GtkFixed* other = GTK_FIXED(g_object_ref_sink(gtk_fixed_new()));
    {
        GtkKeyboardView second(other, keyboard);
        second.Build();
        second.Build();
        EXPECT_EQ(Children(other).size(), keyboard.PlacedKeys().size());
    }
    EXPECT_TRUE(Children(other).empty());
    {
        // The panel may be destroyed first, with the window.
        GtkKeyboardView second(other, keyboard);
        second.Build();
        gtk_widget_destroy(GTK_WIDGET(other));
        EXPECT_TRUE(Children(other).empty());
        second.Sync();
    }
    g_object_unref(other);
}

}  // namespace
}  // namespace kiosk::testing
