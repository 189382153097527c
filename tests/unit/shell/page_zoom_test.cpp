#include "shell/page_zoom.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(PageZoom, MapsTheFourLevelsAndNothingElse) {
    EXPECT_EQ(PageZoomFactor("-2"), "0.25");
    EXPECT_EQ(PageZoomFactor("-1"), "0.5");
    EXPECT_EQ(PageZoomFactor("1"), "2");
    EXPECT_EQ(PageZoomFactor("2"), "5");
    for (const char* none : {"0", "3", "-3", "", "abc", "1.5"})
        EXPECT_EQ(PageZoomFactor(none), std::nullopt) << none;
}

}  // namespace
}  // namespace kiosk
