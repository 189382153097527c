#include "shell/window_arrangement.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(WindowArrangementTest, DesignLayoutPutsThePageAboveTheBottomPanelAndTheButtonsInARowOnItsBottomLine) {
    const WindowArrangement a = ArrangeWindow(DesignLayout());
    EXPECT_EQ(a.Panel2, (Rect{0, 0, 1067, 693}));
    EXPECT_EQ(a.Panel1, (Rect{0, 693, 1067, 107}));
    EXPECT_EQ(a.FlowPanel2, (Rect{0, 693, 352, 107}));
    EXPECT_EQ(a.RxSpeedButton4, (Rect{13, 707, 80, 80}));
    EXPECT_EQ(a.RxSpeedButton2, (Rect{93, 707, 80, 80}));
    EXPECT_EQ(a.RxSpeedButton3, (Rect{173, 707, 80, 80}));
    EXPECT_EQ(a.RxSpeedButton1, (Rect{253, 707, 80, 80}));
    EXPECT_EQ(a.FlowPanel1, (Rect{363, 706, 604, 80}));
    EXPECT_EQ(a.RxGIFAnimator1, (Rect{967, 693, 100, 107}));
}

TEST(WindowArrangementTest, FollowsTheWindowSizeAndTheBottomPanelHeight) {
    MainWindowControls c = DesignLayout();
    c.Form1.Width = 1920;
    c.Form1.Height = 1080;
    c.Panel1.Height = 275;  // keyboard shown
    const WindowArrangement a = ArrangeWindow(c);
    EXPECT_EQ(a.Panel2, (Rect{0, 0, 1920, 805}));
    EXPECT_EQ(a.Panel1, (Rect{0, 805, 1920, 275}));
    EXPECT_EQ(a.RxGIFAnimator1, (Rect{1820, 805, 100, 275}));
    // On the bottom line.
    EXPECT_EQ(a.RxSpeedButton4.Top, c.Form1.Height - c.FlowPanel2.Padding.Bottom - c.RxSpeedButton4.Height);
}

TEST(WindowArrangementTest, HiddenButtonsTakeNoPlaceAndAFullRowWraps) {
    MainWindowControls c = DesignLayout();
    c.RxSpeedButton2.Visible = false;
    WindowArrangement a = ArrangeWindow(c);
    EXPECT_EQ(a.RxSpeedButton3.Left, 93);
    EXPECT_EQ(a.RxSpeedButton1.Left, 173);

    c = DesignLayout();
    // Room for one button per row.
    c.FlowPanel2.Width = c.FlowPanel2.Padding.Left + c.RxSpeedButton4.Width + c.FlowPanel2.Padding.Right + 1;
    a = ArrangeWindow(c);
    EXPECT_EQ(a.RxSpeedButton4, (Rect{13, 707, 80, 80}));
    EXPECT_EQ(a.RxSpeedButton2, (Rect{13, 627, 80, 80}));
    EXPECT_EQ(a.RxSpeedButton1, (Rect{13, 467, 80, 80}));
}

TEST(WindowArrangementTest, ABottomPanelTallerThanTheWindowLeavesNoPageArea) {
    MainWindowControls c = DesignLayout();
    c.Form1.Height = 50;
    const WindowArrangement a = ArrangeWindow(c);
    EXPECT_EQ(a.Panel2.Height, 0);
    EXPECT_EQ(a.Panel1, (Rect{0, 0, 1067, 50}));
}

}  // namespace
}  // namespace kiosk
