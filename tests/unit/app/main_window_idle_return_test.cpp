#include <gtest/gtest.h>

#include "tests/unit/app/main_window_fixture.h"

namespace kiosk::testing {
namespace {

TEST_F(RunningWindowTest, TheIdleTimerRunsTheIdleReturnOnce) {
    Start();
    window->OnKeyUp();
    ASSERT_TRUE(IdleTimer().Enabled());
    At(5);
    IdleTimer().Fire();
    EXPECT_TRUE(record.Contains(StartPage()));
    EXPECT_FALSE(IdleTimer().Enabled());
}

// A visitor who only touches, scrolls or types in the page is using the terminal: each use starts
// the idle time anew, also after an idle return has switched the timer off.
TEST_F(RunningWindowTest, UseOfThePageStartsTheIdleTimeAnew) {
    Start();
    ASSERT_FALSE(IdleTimer().Enabled());
    browser->events->PageActivity();
    EXPECT_TRUE(IdleTimer().Enabled());
    At(5);
    IdleTimer().Fire();
    ASSERT_FALSE(IdleTimer().Enabled());
    browser->events->PageActivity();
    EXPECT_TRUE(IdleTimer().Enabled());
}

TEST_F(RunningWindowTest, AFailedIdleReturnReachesTheErrorBox) {
    Start();
    window->OnKeyUp();
    browserCreationFailure = "no browser";
    At(5);
    IdleTimer().Fire();
    EXPECT_EQ(record.Starting("ErrorBox").size(), 1u);
}

TEST_F(RunningWindowTest, ASleepOfZeroNeverReturns) {
    Start("sleep\n0\n");
    window->OnKeyUp();
    At(59);
    IdleTimer().Fire();
    EXPECT_EQ(IdleTimer().Interval(), 0);
    EXPECT_FALSE(record.Contains("BrowserCreated"));
}

}  // namespace
}  // namespace kiosk::testing
