#include "shell/right_button_filter.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

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
