#include <gtest/gtest.h>

#include "shell/page_zoom.h"
#include "shell/repeat_guard.h"
#include "shell/right_button_filter.h"

namespace kiosk {
namespace {

DateTime At(int second, int millisecond) {
    return EncodeDateTime({2026, 12, 8, 10, 30, second, millisecond});
}

TEST(RepeatGuard, CountsWholeSecondsInEitherDirection) {
    EXPECT_TRUE(TooSoon(At(11, 990), At(10, 0)));
    EXPECT_FALSE(TooSoon(At(12, 0), At(10, 0)));
    // A clock set back.
    EXPECT_TRUE(TooSoon(At(8, 500), At(10, 0)));
    EXPECT_FALSE(TooSoon(At(8, 0), At(10, 0)));
    // Before start-up there was no action.
    EXPECT_FALSE(TooSoon(At(0, 0), 0));
}

TEST(RepeatGuard, ExactlyTwoSecondsIsNeverTooSoonWhateverTheMoment) {
    for (int second = 0; second < 58; ++second) {
        for (int millisecond = 0; millisecond < 1000; millisecond += 7) {
            ASSERT_FALSE(TooSoon(At(second + 2, millisecond), At(second, millisecond)))
                << second << "." << millisecond;
        }
    }
}

TEST(PageZoom, MapsTheFourLevelsAndNothingElse) {
    EXPECT_EQ(PageZoomFactor("-2"), "0.25");
    EXPECT_EQ(PageZoomFactor("-1"), "0.5");
    EXPECT_EQ(PageZoomFactor("1"), "2");
    EXPECT_EQ(PageZoomFactor("2"), "5");
    for (const char* none : {"0", "3", "-3", "", "abc", "1.5"})
        EXPECT_EQ(PageZoomFactor(none), std::nullopt) << none;
}

TEST(RightButtonFilter, SwallowsRightPressesAndReleasesOnly) {
    EXPECT_TRUE(SwallowsMouseEvent(MouseButton::Right, MouseAction::Press));
    EXPECT_TRUE(SwallowsMouseEvent(MouseButton::Right, MouseAction::Release));
    EXPECT_FALSE(SwallowsMouseEvent(MouseButton::Right, MouseAction::DoubleClick));
    EXPECT_FALSE(SwallowsMouseEvent(MouseButton::Right, MouseAction::Other));
    for (const MouseButton other : {MouseButton::Left, MouseButton::Middle, MouseButton::Other}) {
        EXPECT_FALSE(SwallowsMouseEvent(other, MouseAction::Press));
        EXPECT_FALSE(SwallowsMouseEvent(other, MouseAction::Release));
    }
}

}  // namespace
}  // namespace kiosk
