#include "shell/screen_density.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(ScreenDensityTest, MeasuresBelievableSizesOnly) {
    EXPECT_EQ(PixelsPerInch({1280, 1024, 339, 271}), 96);  // as Xvfb -dpi 96 reports it
    EXPECT_EQ(PixelsPerInch({1280, 1024, 226, 181}), 144);
    EXPECT_EQ(PixelsPerInch({1920, 1080, 0, 0}), 0);       // not told
    EXPECT_EQ(PixelsPerInch({1920, 1080, 160, 90}), 0);    // an aspect ratio (305 per inch)
    EXPECT_EQ(PixelsPerInch({1920, 1080, 1600, 900}), 0);  // a television (30 per inch)
    EXPECT_EQ(PixelsPerInch({1280, 1024, 339, 200}), 0);   // 96 across, 130 down
    EXPECT_EQ(PixelsPerInch({0, 0, 339, 271}), 0);
}

TEST(ScreenDensityTest, PrefersTheMonitorThenTheXScreenThen96) {
    const ScreenSize monitor{1920, 1080, 527, 296};
    const ScreenSize xScreen{1920, 1080, 406, 228};  // set to 120
    EXPECT_EQ(ChooseScreenDensity(monitor, xScreen), 93);
    EXPECT_EQ(ChooseScreenDensity({1920, 1080, 160, 90}, xScreen), 120);
    EXPECT_EQ(ChooseScreenDensity({}, xScreen), 120);
    EXPECT_EQ(ChooseScreenDensity({1920, 1080, 0, 0}, {1920, 1080, 0, 0}), 96);
}

}  // namespace
}  // namespace kiosk
