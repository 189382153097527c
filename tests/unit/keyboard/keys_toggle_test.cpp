#include "keyboard/keys_toggle.h"

#include <gtest/gtest.h>

#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

TEST_F(FocusTest, KeysFitsTheBottomPanelAroundTheKeyboardAndRestartsTheIdleTimer) {
    const PanelModel& buttons = controls.FlowPanel2;
    const PanelModel& keyboard = controls.FlowPanel1;
    const ControlModel& home = controls.RxSpeedButton4;
    CountKeyboardShows();
    const int idlePeriods = idleTimer.periodsStarted;
    ClickKeys();
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_EQ(buttons.Width, keyboard.Left - kKeyboardGap);
    EXPECT_EQ(controls.Panel1.Height, keyboard.Height + buttons.Padding.Top + buttons.Padding.Bottom);
    EXPECT_EQ(idleTimer.periodsStarted, idlePeriods + 1);

    ClickKeys();
    EXPECT_FALSE(keyboard.Visible);
    EXPECT_FALSE(keyboard.Enabled);
    EXPECT_EQ(buttons.Width, buttons.Padding.Left + home.Width + controls.RxSpeedButton2.Width +
                                 controls.RxSpeedButton3.Width + controls.RxSpeedButton1.Width +
                                 buttons.Padding.Right + kButtonPanelSpare);
    EXPECT_EQ(controls.Panel1.Height, home.Height + kBottomPanelMargin);
    EXPECT_EQ(idleTimer.periodsStarted, idlePeriods + 2);
}

TEST_F(FocusTest, WithoutBackTheClosedButtonPanelHoldsHomeRefreshAndKeys) {
    controls.RxSpeedButton2.Enabled = false;  // the back option is false
    controls.RxSpeedButton2.Visible = false;
    ClickKeys();
    ClickKeys();
    const PanelModel& buttons = controls.FlowPanel2;
    EXPECT_EQ(buttons.Width, buttons.Padding.Left + controls.RxSpeedButton4.Width +
                                 controls.RxSpeedButton3.Width + controls.RxSpeedButton1.Width +
                                 buttons.Padding.Right + kButtonPanelSpare);
}

TEST_F(FocusTest, AKeyboardReachingLeftOfTheHomeButtonLeavesTheButtonPanelAtItsMinimum) {
    controls.FlowPanel1.Left = minButtonPanelWidth - 1;
    ClickKeys();
    EXPECT_EQ(controls.FlowPanel2.Width, minButtonPanelWidth);
}

TEST_F(FocusTest, SettingKeysDownOnlyClicksWhenTheButtonChanges) {
    SetKeysDown(Keys(), false);
    EXPECT_EQ(idleTimer.periodsStarted, 0);
    SetKeysDown(Keys(), true);
    EXPECT_TRUE(KeyboardOpen());
    SetKeysDown(Keys(), true);
    EXPECT_EQ(idleTimer.periodsStarted, 1);
    SetKeysDown(Keys(), false);
    EXPECT_FALSE(controls.FlowPanel1.Visible);
}

}  // namespace
}  // namespace kiosk::testing
