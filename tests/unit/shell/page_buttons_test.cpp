#include "shell/page_buttons.h"

#include <gtest/gtest.h>

#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(ShellTest, BackNeedsTwoCompletedDocumentsAndAlwaysRestartsTheIdleTimer) {
    At(5);
    PressHome();
    At(10);
    CompleteDocument("http://a/");
    const int periods = idleTimer.periodsStarted;
    PressBack(Window());
    EXPECT_FALSE(record.Contains("GoBack"));
    EXPECT_EQ(idleTimer.periodsStarted, periods + 1);

    CompleteDocument("http://b/");
    controls.BusyAnimation = {};
    record.Clear();
    PressBack(Window());
    EXPECT_EQ(record.Events(), (Events{"Stop", "ProcessMessages", "GoBack"}));
    EXPECT_EQ(documentCounter, 0);
    EXPECT_DOUBLE_EQ(lastActionTime, clock.Now());
    EXPECT_TRUE(Busy());
    EXPECT_EQ(idleTimer.periodsStarted, periods + 2);
}

TEST_F(ShellTest, BackIsRefusedTooSoonOrOnANonHtmlDocument) {
    documentCounter = 2;
    At(1);
    PressBack(Window());
    At(5);
    browser->htmlDocument = false;
    PressBack(Window());
    EXPECT_FALSE(record.Contains("GoBack"));
    EXPECT_EQ(documentCounter, 2);
    EXPECT_EQ(idleTimer.periodsStarted, 2);
}

TEST_F(ShellTest, BackSwallowsTheBrowsersFailures) {
    documentCounter = 2;
    browser->callFailure = "gone";
    controls.BusyAnimation = {};  // still
    At(5);
    EXPECT_NO_THROW(PressBack(Window()));
    EXPECT_TRUE(record.Starting("ErrorBox").empty());
    EXPECT_EQ(documentCounter, 2);
    EXPECT_FALSE(Busy());  // no load started, so nothing would ever stop the animation
    EXPECT_TRUE(idleTimer.Enabled());
}

TEST_F(ShellTest, RefreshReloadsWithoutTheCacheOnlyWhileCtrlIsHeld) {
    At(5);
    PressRefresh(Window());
    EXPECT_EQ(record.Events(), (Events{"Stop", "ProcessMessages", "Refresh", "ProcessMessages"}));
    EXPECT_DOUBLE_EQ(lastActionTime, clock.Now());
    EXPECT_TRUE(idleTimer.Enabled());
    record.Clear();
    ui.ctrlKeyDown = true;
    At(7);
    PressRefresh(Window());
    EXPECT_EQ(record.Starting("Reload"), (Events{"Reload 3"}));
}

TEST_F(ShellTest, RefreshOfANonHtmlDocumentOnlyRestartsTheIdleTimer) {
    browser->htmlDocument = false;
    At(5);
    PressRefresh(Window());
    EXPECT_EQ(record.Events(), Events{});
    EXPECT_EQ(idleTimer.periodsStarted, 1);
}

TEST_F(ShellTest, RefreshTooSoonDoesNothingAtAll) {
    At(1, 999);
    PressRefresh(Window());
    EXPECT_EQ(record.Events(), Events{});
    EXPECT_EQ(idleTimer.periodsStarted, 0);
}

TEST_F(ShellTest, RefreshSwallowsTheBrowsersFailures) {
    browser->callFailure = "gone";
    At(5);
    EXPECT_NO_THROW(PressRefresh(Window()));
    EXPECT_TRUE(record.Starting("ErrorBox").empty());
    EXPECT_TRUE(idleTimer.Enabled());
}

}  // namespace
}  // namespace kiosk::testing
