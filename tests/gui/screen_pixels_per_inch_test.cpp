#include "platform/linux/screen_pixels_per_inch.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "tests/support/xvfb_display.h"

namespace kiosk {
namespace {

TEST(ScreenPixelsPerInchTest, Reads96OnTheTestDisplay) {
    testing::ProcessDisplay();
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    EXPECT_EQ(ScreenPixelsPerInch(), 96);
}

}  // namespace
}  // namespace kiosk
