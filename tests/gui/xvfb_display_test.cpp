#include "tests/support/xvfb_display.h"

#include <gtest/gtest.h>

namespace kiosk::testing {
namespace {

TEST(XvfbDisplayTest, TwoDisplaysSideBySideHaveTheirOwnScreenSizes) {
    const XvfbDisplay small(800, 600);
    const XvfbDisplay large(1920, 1080);
    EXPECT_NE(small.Name(), large.Name());
    EXPECT_NE(RunOnDisplay(small, "xdpyinfo | grep dimensions").find("800x600 pixels"), std::string::npos);
    EXPECT_NE(RunOnDisplay(large, "xdpyinfo | grep dimensions").find("1920x1080 pixels"), std::string::npos);
}

}  // namespace
}  // namespace kiosk::testing
