#include <gtest/gtest.h>

#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

// Design layout: margins 13, buttons 80 x 80, the keyboard 604 x 80 at left 363.
TEST_F(FocusTest, KeysFitsTheBottomPanelAroundTheKeyboardAndRestartsTheIdleTimer) {
    Start();
    CountKeyboardShows();
    const int idlePeriods = IdleTimer().periodsStarted;
    ClickKeys();
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_EQ(form->Controls.FlowPanel2.Width, 363 - 2);
    EXPECT_EQ(form->Controls.Panel1.Height, 80 + 13 + 13);
    EXPECT_EQ(IdleTimer().periodsStarted, idlePeriods + 1);

    ClickKeys();
    EXPECT_FALSE(form->Controls.FlowPanel1.Visible);
    EXPECT_FALSE(form->Controls.FlowPanel1.Enabled);
    EXPECT_EQ(form->Controls.FlowPanel2.Width, 13 + 4 * 80 + 13 + 1);
    EXPECT_EQ(form->Controls.Panel1.Height, 80 + 20);
    EXPECT_EQ(IdleTimer().periodsStarted, idlePeriods + 2);
}

TEST_F(FocusTest, WithoutBackTheClosedButtonPanelHoldsHomeRefreshAndKeys) {
    Start("back\nfalse\n");
    ClickKeys();
    ClickKeys();
    EXPECT_EQ(form->Controls.FlowPanel2.Width, 13 + 3 * 80 + 13 + 1);
}

TEST_F(FocusTest, AKeyboardReachingLeftOfTheHomeButtonLeavesTheButtonPanelAtItsMinimum) {
    Start();
    form->Controls.FlowPanel1.Left = form->MinButtonPanelWidth - 1;
    ClickKeys();
    EXPECT_EQ(form->Controls.FlowPanel2.Width, form->MinButtonPanelWidth);
}

}  // namespace
}  // namespace kiosk::testing
