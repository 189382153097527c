#include <gtest/gtest.h>

#include "shell/start_page.h"
#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(ShellTest, HomeReplacesTheControlByAFreshSilentOneAtTheStartPage) {
    Start();
    form->DocumentCounter = 3;
    form->Controls.RxGIFAnimator1 = {};
    At(5);
    form->RxSpeedButton4Click();
    EXPECT_EQ(record.Events(), (Events{
                                   "Stop",
                                   "ProcessMessages",
                                   "Navigate about:blank",
                                   "ProcessMessages",
                                   "BrowserDestroyed",
                                   "ProcessMessages",
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
    EXPECT_EQ(form->DocumentCounter, -1);
    EXPECT_DOUBLE_EQ(form->LastActionTime, clock.Now());
    EXPECT_TRUE(Busy());
    EXPECT_TRUE(IdleTimer().Enabled());
    EXPECT_EQ(form->Controls.Panel2.Caption, "Не работает");
}

TEST_F(ShellTest, HomeIsRefusedUntilTwoWholeSecondsHavePassed) {
    Start();
    At(1, 990);
    form->RxSpeedButton4Click();
    EXPECT_EQ(record.Events(), Events{});
    EXPECT_FALSE(IdleTimer().Enabled());
    At(2, 0);
    form->RxSpeedButton4Click();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
    At(3, 500);
    form->RxSpeedButton4Click();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
}

TEST_F(ShellTest, OutOfOrderHomeStillShowsAVisibleBrowserAtTheStartPage) {
    Create();  // no configuration file
    ASSERT_TRUE(form->OutOfOrder);
    ASSERT_FALSE(form->Controls.WebBrowser1.Visible);
    At(5);
    form->RxSpeedButton4Click();
    EXPECT_TRUE(form->Controls.WebBrowser1.Visible);
    EXPECT_TRUE(record.Contains("BrowserVisible 1"));
    EXPECT_TRUE(record.Contains("Navigate " + LocalPageUrl(ProgramDir(), "")));
}

TEST_F(ShellTest, AFailedReplacementReachesTheErrorBoxAndKeepsTheCaption) {
    Start();
    browserCreationFailure = "no browser";
    At(5);
    RunHandler(ui, [this] { form->RxSpeedButton4Click(); });
    EXPECT_EQ(record.Starting("ErrorBox"),
              (Events{std::string("ErrorBox ") + kApplicationTitle + ": no browser"}));
    EXPECT_EQ(form->Controls.Panel2.Caption, "Не работает");
    // Without a control the other buttons do nothing, and Home may try again.
    browserCreationFailure.clear();
    form->RxSpeedButton2Click();
    form->RxSpeedButton3Click();
    At(8);
    form->RxSpeedButton4Click();
    EXPECT_TRUE(record.Contains(StartPage()));
}

TEST_F(ShellTest, PressesWhileHomeProcessesMessagesDoNotReplaceTheControlTwice) {
    Start();
    form->DocumentCounter = 5;
    bool pressing = false;
    ui.onProcessMessages = [&] {
        if (pressing) return;  // the presses process messages themselves
        pressing = true;
        form->RxSpeedButton4Click();
        form->RxSpeedButton2Click();
        form->RxSpeedButton3Click();
        form->Timer2Timer();
        pressing = false;
    };
    At(5);
    form->RxSpeedButton4Click();
    ui.onProcessMessages = nullptr;
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
    EXPECT_EQ(record.Count("BrowserDestroyed"), 1);
    EXPECT_EQ(record.Count(StartPage()), 1);
    EXPECT_EQ(form->DocumentCounter, -1);
    EXPECT_TRUE(IdleTimer().Enabled());
}

TEST_F(ShellTest, HomeShowsTheKeysButtonThatANetworkErrorHid) {
    Start();
    browser->FailNavigation("http://example.invalid/", -2);
    ASSERT_FALSE(form->Controls.RxSpeedButton1.Visible);
    At(5);
    form->RxSpeedButton4Click();
    EXPECT_TRUE(form->Controls.RxSpeedButton1.Visible);
    EXPECT_TRUE(form->Controls.RxSpeedButton1.Enabled);
}

TEST_F(ShellTest, BackNeedsTwoCompletedDocumentsAndAlwaysRestartsTheIdleTimer) {
    Start();
    At(5);
    form->RxSpeedButton4Click();
    At(10);
    browser->CompleteDocument("http://a/");
    const int periods = IdleTimer().periodsStarted;
    form->RxSpeedButton2Click();
    EXPECT_FALSE(record.Contains("GoBack"));
    EXPECT_EQ(IdleTimer().periodsStarted, periods + 1);

    browser->CompleteDocument("http://b/");
    form->Controls.RxGIFAnimator1 = {};
    record.Clear();
    form->RxSpeedButton2Click();
    EXPECT_EQ(record.Events(), (Events{"Stop", "ProcessMessages", "GoBack"}));
    EXPECT_EQ(form->DocumentCounter, 0);
    EXPECT_DOUBLE_EQ(form->LastActionTime, clock.Now());
    EXPECT_TRUE(Busy());
    EXPECT_EQ(IdleTimer().periodsStarted, periods + 2);
}

TEST_F(ShellTest, BackIsRefusedTooSoonOrOnANonHtmlDocument) {
    Start();
    form->DocumentCounter = 2;
    At(1);
    form->RxSpeedButton2Click();
    At(5);
    browser->htmlDocument = false;
    form->RxSpeedButton2Click();
    EXPECT_FALSE(record.Contains("GoBack"));
    EXPECT_EQ(form->DocumentCounter, 2);
    EXPECT_EQ(IdleTimer().periodsStarted, 2);
}

TEST_F(ShellTest, BackSwallowsTheBrowsersFailures) {
    Start();
    form->DocumentCounter = 2;
    browser->callFailure = "gone";
    At(5);
    form->RxSpeedButton2Click();
    EXPECT_TRUE(record.Starting("ErrorBox").empty());
    EXPECT_EQ(form->DocumentCounter, 2);
    EXPECT_TRUE(IdleTimer().Enabled());
}

TEST_F(ShellTest, RefreshReloadsWithoutTheCacheOnlyWhileCtrlIsHeld) {
    Start();
    At(5);
    form->RxSpeedButton3Click();
    EXPECT_EQ(record.Events(), (Events{"Stop", "ProcessMessages", "Refresh", "ProcessMessages"}));
    EXPECT_DOUBLE_EQ(form->LastActionTime, clock.Now());
    EXPECT_TRUE(IdleTimer().Enabled());
    record.Clear();
    ui.ctrlKeyDown = true;
    At(7);
    form->RxSpeedButton3Click();
    EXPECT_EQ(record.Starting("Refresh"), (Events{"Refresh2 3"}));
}

TEST_F(ShellTest, RefreshOfANonHtmlDocumentOnlyRestartsTheIdleTimer) {
    Start();
    browser->htmlDocument = false;
    At(5);
    form->RxSpeedButton3Click();
    EXPECT_EQ(record.Events(), Events{});
    EXPECT_EQ(IdleTimer().periodsStarted, 1);
}

TEST_F(ShellTest, RefreshTooSoonDoesNothingAtAll) {
    Start();
    At(1, 999);
    form->RxSpeedButton3Click();
    EXPECT_EQ(record.Events(), Events{});
    EXPECT_EQ(IdleTimer().periodsStarted, 0);
}

TEST_F(ShellTest, RefreshSwallowsTheBrowsersFailures) {
    Start();
    browser->callFailure = "gone";
    At(5);
    form->RxSpeedButton3Click();
    EXPECT_TRUE(record.Starting("ErrorBox").empty());
    EXPECT_TRUE(IdleTimer().Enabled());
}

TEST_F(ShellTest, TheIdleReturnRunsHomeOnceAndStops) {
    Start();
    form->FormKeyUp();
    ASSERT_TRUE(IdleTimer().Enabled());
    At(5);
    IdleTimer().Fire();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
    EXPECT_FALSE(IdleTimer().Enabled());
    IdleTimer().Fire();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
}

TEST_F(ShellTest, AFailedIdleReturnReachesTheErrorBox) {
    Start();
    form->FormKeyUp();
    browserCreationFailure = "no browser";
    At(5);
    IdleTimer().Fire();
    EXPECT_EQ(record.Starting("ErrorBox").size(), 1u);
}

TEST_F(ShellTest, ASleepOfZeroNeverReturns) {
    Start("sleep\n0\n");
    form->FormKeyUp();
    At(59);
    IdleTimer().Fire();
    EXPECT_EQ(IdleTimer().Interval(), 0);
    EXPECT_FALSE(record.Contains("BrowserCreated"));
}

}  // namespace
}  // namespace kiosk::testing
