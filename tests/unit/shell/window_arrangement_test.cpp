#include "shell/window_arrangement.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(WindowArrangementTest, DesignLayoutPutsThePageAboveTheBottomPanelAndTheButtonsInARowOnItsBottomLine) {
    const WindowArrangement a = ArrangeWindow(DesignLayout());
    EXPECT_EQ(a.PageArea, (Rect{0, 0, 1067, 693}));
    EXPECT_EQ(a.BottomPanel, (Rect{0, 693, 1067, 107}));
    EXPECT_EQ(a.ButtonArea, (Rect{0, 693, 352, 107}));
    EXPECT_EQ(a.HomeButton, (Rect{13, 707, 80, 80}));
    EXPECT_EQ(a.BackButton, (Rect{93, 707, 80, 80}));
    EXPECT_EQ(a.RefreshButton, (Rect{173, 707, 80, 80}));
    EXPECT_EQ(a.KeysButton, (Rect{253, 707, 80, 80}));
    EXPECT_EQ(a.KeyboardPlace, (Rect{363, 706, 604, 80}));
    EXPECT_EQ(a.BusyAnimation, (Rect{967, 693, 100, 107}));
}

TEST(WindowArrangementTest, FollowsTheWindowSizeAndTheBottomPanelHeight) {
    MainWindowControls c = DesignLayout();
    c.Window.Width = 1920;
    c.Window.Height = 1080;
    c.BottomPanel.Height = 275;  // keyboard shown
    const WindowArrangement a = ArrangeWindow(c);
    EXPECT_EQ(a.PageArea, (Rect{0, 0, 1920, 805}));
    EXPECT_EQ(a.BottomPanel, (Rect{0, 805, 1920, 275}));
    EXPECT_EQ(a.BusyAnimation, (Rect{1820, 805, 100, 275}));
    // On the bottom line.
    EXPECT_EQ(a.HomeButton.Top, c.Window.Height - c.ButtonArea.Padding.Bottom - c.HomeButton.Height);
}

TEST(WindowArrangementTest, HiddenButtonsTakeNoPlaceAndAFullRowWraps) {
    MainWindowControls c = DesignLayout();
    c.BackButton.Visible = false;
    WindowArrangement a = ArrangeWindow(c);
    EXPECT_EQ(a.RefreshButton.Left, 93);
    EXPECT_EQ(a.KeysButton.Left, 173);

    c = DesignLayout();
    // Room for one button per row.
    c.ButtonArea.Width = c.ButtonArea.Padding.Left + c.HomeButton.Width + c.ButtonArea.Padding.Right + 1;
    a = ArrangeWindow(c);
    EXPECT_EQ(a.HomeButton, (Rect{13, 707, 80, 80}));
    EXPECT_EQ(a.BackButton, (Rect{13, 627, 80, 80}));
    EXPECT_EQ(a.KeysButton, (Rect{13, 467, 80, 80}));
}

TEST(WindowArrangementTest, ABottomPanelTallerThanTheWindowLeavesNoPageArea) {
    MainWindowControls c = DesignLayout();
    c.Window.Height = 50;
    const WindowArrangement a = ArrangeWindow(c);
    EXPECT_EQ(a.PageArea.Height, 0);
    EXPECT_EQ(a.BottomPanel, (Rect{0, 0, 1067, 50}));
}

}  // namespace
}  // namespace kiosk
