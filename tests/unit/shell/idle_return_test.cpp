#include "shell/idle_return.h"

#include <gtest/gtest.h>

#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {
namespace {

// The idle timer runs the idle return, as the window attaches it.
class IdleReturnTest : public ShellTest {
protected:
    IdleReturnTest() {
        idleTimer.SetOnTimer([this] { ReturnAfterIdle(home, Window(), startPage); });
    }
};

TEST_F(IdleReturnTest, TheIdleReturnRunsHomeOnceAndStops) {
    RestartIdleTimer(idleTimer);
    ASSERT_TRUE(idleTimer.Enabled());
    At(5);
    idleTimer.Fire();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
    EXPECT_FALSE(idleTimer.Enabled());
    idleTimer.Fire();
    EXPECT_EQ(record.Count("BrowserCreated"), 1);
}

TEST_F(IdleReturnTest, ARestartBeginsANewPeriodOfARunningTimer) {
    RestartIdleTimer(idleTimer);
    RestartIdleTimer(idleTimer);
    EXPECT_TRUE(idleTimer.Enabled());
    EXPECT_EQ(idleTimer.periodsStarted, 2);
}

}  // namespace
}  // namespace kiosk::testing
