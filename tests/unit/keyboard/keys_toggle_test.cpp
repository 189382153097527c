#include "keyboard/keys_toggle.h"

#include <gtest/gtest.h>

#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

TEST_F(FocusTest, KeysFitsTheBottomPanelAroundTheKeyboardAndRestartsTheIdleTimer) {
    const PanelModel& buttons = controls.ButtonArea;
    const PanelModel& keyboard = controls.KeyboardPlace;
    const ControlModel& home = controls.HomeButton;
    CountKeyboardShows();
    const int idlePeriods = idleTimer.periodsStarted;
    ClickKeys();
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_EQ(keyboardShows, 1);
    EXPECT_EQ(buttons.Width, keyboard.Left - kKeyboardGap);
    EXPECT_EQ(controls.BottomPanel.Height, keyboard.Height + buttons.Padding.Top + buttons.Padding.Bottom);
    EXPECT_EQ(idleTimer.periodsStarted, idlePeriods + 1);

    ClickKeys();
    EXPECT_FALSE(keyboard.Visible);
    EXPECT_FALSE(keyboard.Enabled);
    EXPECT_EQ(buttons.Width, buttons.Padding.Left + home.Width + controls.BackButton.Width +
                                 controls.RefreshButton.Width + controls.KeysButton.Width +
                                 buttons.Padding.Right + kButtonPanelSpare);
    EXPECT_EQ(controls.BottomPanel.Height, home.Height + kBottomPanelMargin);
    EXPECT_EQ(idleTimer.periodsStarted, idlePeriods + 2);
}

TEST_F(FocusTest, WithoutBackTheClosedButtonPanelHoldsHomeRefreshAndKeys) {
    controls.BackButton.Enabled = false;  // the back option is false
    controls.BackButton.Visible = false;
    ClickKeys();
    ClickKeys();
    const PanelModel& buttons = controls.ButtonArea;
    EXPECT_EQ(buttons.Width, buttons.Padding.Left + controls.HomeButton.Width + controls.RefreshButton.Width +
                                 controls.KeysButton.Width + buttons.Padding.Right + kButtonPanelSpare);
}

TEST_F(FocusTest, AKeyboardReachingLeftOfTheHomeButtonLeavesTheButtonPanelAtItsMinimum) {
    controls.KeyboardPlace.Left = minButtonPanelWidth - 1;
    ClickKeys();
    EXPECT_EQ(controls.ButtonArea.Width, minButtonPanelWidth);
}

TEST_F(FocusTest, SettingKeysDownOnlyClicksWhenTheButtonChanges) {
    SetKeysDown(Keys(), false);
    EXPECT_EQ(idleTimer.periodsStarted, 0);
    SetKeysDown(Keys(), true);
    EXPECT_TRUE(KeyboardOpen());
    SetKeysDown(Keys(), true);
    EXPECT_EQ(idleTimer.periodsStarted, 1);
    SetKeysDown(Keys(), false);
    EXPECT_FALSE(controls.KeyboardPlace.Visible);
}

}  // namespace
}  // namespace kiosk::testing
