#include "platform/linux/gtk_ui.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "tests/support/xvfb_display.h"

namespace kiosk {
namespace {

struct BoxRun {
    GtkUi* ui;
    std::vector<std::string> steps;
    bool failsafe = false;
};

// Answers every dialog still open: the test's own way out when the boxes would stay.
gboolean CloseEveryDialog(gpointer data) {
    static_cast<BoxRun*>(data)->failsafe = true;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        if (GTK_IS_DIALOG(item->data)) gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_CLOSE);
    }
    g_list_free(windows);
    return G_SOURCE_REMOVE;
}

// A box that is open when another opens inside its loop (an idle return in the box's own loop, say)
// closes with it: none is left for the next visitor.
TEST(GtkUiTest, CloseErrorBoxesClosesEveryOpenBoxAlsoOnesOpenedInsideOthers) {
    testing::ProcessDisplay();
    GtkUi ui;
    BoxRun run{&ui, {}};
    g_timeout_add(
        200,
        [](gpointer data) -> gboolean {
            auto* run = static_cast<BoxRun*>(data);
            run->ui->ShowErrorBox("Киоск", "inner");
            run->steps.push_back("inner closed");
            return G_SOURCE_REMOVE;
        },
        &run);
    g_timeout_add(
        600,
        [](gpointer data) -> gboolean {
            static_cast<BoxRun*>(data)->ui->CloseErrorBoxes();
            return G_SOURCE_REMOVE;
        },
        &run);
    const guint failsafe = g_timeout_add(15000, &CloseEveryDialog, &run);
    ui.ShowErrorBox("Киоск", "outer");
    run.steps.push_back("outer closed");
    if (!run.failsafe) g_source_remove(failsafe);
    EXPECT_FALSE(run.failsafe);
    EXPECT_EQ(run.steps, (std::vector<std::string>{"inner closed", "outer closed"}));
}

// A failure that comes after a termination signal (a script call that ends in a timeout once the
// signal was handled inside its wait, or a failure of the shutdown itself) shows no box that would
// hold the program up.
TEST(GtkUiTest, AfterTheWindowWasClosedErrorBoxesDoNotWait) {
    testing::ProcessDisplay();
    GtkUi ui;
    BoxRun run{&ui, {}};
    const guint failsafe = g_timeout_add(5000, &CloseEveryDialog, &run);
    ui.CloseMainWindow();
    ui.ShowErrorBox("Киоск", "after the signal");
    if (!run.failsafe) g_source_remove(failsafe);
    EXPECT_FALSE(run.failsafe);
}

}  // namespace
}  // namespace kiosk
