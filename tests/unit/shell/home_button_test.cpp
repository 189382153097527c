#include "shell/home_button.h"

#include <gtest/gtest.h>

#include "shell/idle_return.h"
#include "shell/page_buttons.h"
#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(ShellTest, HomeReplacesTheControlByAFreshSilentOneAtTheStartPage) {
    documentCounter = 3;
    controls.BusyAnimation = {};
    At(5);
    PressHome();
    EXPECT_EQ(record.Events(), (Events{
                                   "CloseErrorBoxes",
                                   "Stop",
                                   "ProcessMessages",
                                   "Navigate about:blank",
                                   "ProcessMessages",
                                   "BrowserDestroyed",
                                   "ProcessMessages",
                                   "ClearClipboard",
                                   "BrowserCreated",
                                   "BrowserEnabled 0",
                                   "BrowserVisible 0",
                                   "BrowserAddressBar 0",
                                   "BrowserSilent 1",
                                   "BrowserStatusBar 0",
                                   "BrowserEnabled 1",
                                   "BrowserVisible 1",
                                   StartPage(),
                               }));
    EXPECT_NE(browser->events, nullptr);
    EXPECT_EQ(documentCounter, -1);
    EXPECT_DOUBLE_EQ(lastActionTime, clock.Now());
    EXPECT_TRUE(Busy());
    EXPECT_TRUE(idleTimer.Enabled());
    EXPECT_EQ(controls.PageArea.Caption, "Не работает");
}

TEST_F(ShellTest, HomeIsRefusedUntilTwoWholeSecondsHavePassed) {
    At(1, 990);
    PressHome();
    EXPECT_EQ(record.Events(), Events{});
    EXPECT_FALSE(idleTimer.Enabled());
    At(2, 0);
    PressHome();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
    At(3, 500);
    PressHome();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
}

// The window shows the failure in its error box.
TEST_F(ShellTest, AFailedReplacementIsPassedOnAndKeepsTheCaption) {
    browserCreationFailure = "no browser";
    At(5);
    EXPECT_THROW(PressHome(), std::runtime_error);
    EXPECT_EQ(controls.PageArea.Caption, "Не работает");
    // Without a control the other buttons do nothing, and Home may try again.
    browserCreationFailure.clear();
    PressBack(Window());
    PressRefresh(Window());
    At(8);
    PressHome();
    EXPECT_TRUE(record.Contains(StartPage()));
}

TEST_F(ShellTest, PressesWhileHomeProcessesMessagesDoNotReplaceTheControlTwice) {
    documentCounter = 5;
    bool pressing = false;
    ui.onProcessMessages = [&] {
        if (pressing) return;  // the presses process messages themselves
        pressing = true;
        PressHome();
        PressBack(Window());
        PressRefresh(Window());
        ReturnAfterIdle(home, Window(), startPage);
        pressing = false;
    };
    At(5);
    PressHome();
    ui.onProcessMessages = nullptr;
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
    EXPECT_EQ(record.Count("BrowserDestroyed"), 1);
    EXPECT_EQ(record.Count(StartPage()), 1);
    EXPECT_EQ(documentCounter, -1);
    EXPECT_TRUE(idleTimer.Enabled());
}

TEST_F(ShellTest, HomeShowsTheKeysButtonThatANetworkErrorHid) {
    FailNavigation("http://example.invalid/", -2);
    ASSERT_FALSE(controls.KeysButton.Visible);
    At(5);
    PressHome();
    EXPECT_TRUE(controls.KeysButton.Visible);
    EXPECT_TRUE(controls.KeysButton.Enabled);
}

}  // namespace
}  // namespace kiosk::testing
