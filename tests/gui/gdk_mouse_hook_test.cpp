#include "platform/linux/gdk_mouse_hook.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/screen.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono;

// A window whose whole area records the button events that reach it.
class ClickTarget {
public:
    ClickTarget() {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
        gtk_window_move(GTK_WINDOW(window_), 0, 0);
        gtk_window_resize(GTK_WINDOW(window_), 200, 200);
        gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
        g_signal_connect(window_, "button-press-event", G_CALLBACK(&ClickTarget::Record), this);
        g_signal_connect(window_, "button-release-event", G_CALLBACK(&ClickTarget::Record), this);
        gtk_widget_show_all(window_);
        Pump(milliseconds(500));
    }
    ~ClickTarget() { gtk_widget_destroy(window_); }

    // Runs the main loop for a while, so that the X server's events arrive.
    static void Pump(milliseconds duration) {
        const auto end = steady_clock::now() + duration;
        while (steady_clock::now() < end) {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            g_usleep(5000);
        }
    }
    std::vector<std::string> Take() {
        Pump(milliseconds(300));
        return std::exchange(events_, {});
    }

private:
    static gboolean Record(GtkWidget*, GdkEventButton* event, gpointer self) {
        const char* kind = event->type == GDK_BUTTON_PRESS     ? "press"
                           : event->type == GDK_2BUTTON_PRESS  ? "double"
                           : event->type == GDK_BUTTON_RELEASE ? "release"
                                                               : "other";
        // The X server may report one event to the window twice (core and extended input); one
        // click is one entry here.
        auto* target = static_cast<ClickTarget*>(self);
        const std::string entry = std::string(kind) + " " + std::to_string(event->button);
        const std::string key = entry + "@" + std::to_string(event->time);
        if (key == target->lastKey_) return FALSE;
        target->lastKey_ = key;
        target->events_.push_back(entry);
        return FALSE;
    }

    GtkWidget* window_;
    std::vector<std::string> events_;
    std::string lastKey_;
};

using Events = std::vector<std::string>;

TEST(GdkMouseHookTest, SwallowsRightPressesAndReleasesWhileInstalledOnly) {
    const XvfbDisplay& display = ProcessDisplay();
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    ClickTarget target;
    GdkMouseHookInstaller hooks;

    ClickAt(display, 100, 100, 3);
    EXPECT_EQ(target.Take(), (Events{"press 3", "release 3"}));

    const MouseHookHandle hook = hooks.Install();
    EXPECT_NE(hook, kNoMouseHook);
    ClickAt(display, 100, 100, 3);
    ClickAt(display, 100, 100, 1);
    EXPECT_EQ(target.Take(), (Events{"press 1", "release 1"}));

    // The second press of a double click passes, its single presses and releases do not.
    RunOnDisplay(display, "xdotool click --repeat 2 --delay 50 3");
    EXPECT_EQ(target.Take(), (Events{"double 3"}));

    hooks.Remove(hook);
    ClickTarget::Pump(milliseconds(600));  // past the double-click time, so this is a new click
    ClickAt(display, 150, 150, 3);
    EXPECT_EQ(target.Take(), (Events{"press 3", "release 3"}));
}

}  // namespace
}  // namespace kiosk::testing
