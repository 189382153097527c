// The program's window on the screen: size, buttons, the out-of-order caption.

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/kiosk_run.h"
#include "tests/support/screen.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

class KioskWindow : public KioskRun {
protected:
    KioskWindow() = default;
    KioskWindow(int width, int height) : KioskRun(width, height) {}

    void StartAndWaitForWindow(const std::string& config) {
        WriteFile(dir / "kiosk.cfg", config);
        WriteFile(dir / "index.html", "<p>start</p>");
        StartNextToItsPages();
        ASSERT_TRUE(WaitUntil([&] { return WindowGeometry(display, "Киоск").width > 0; }, 20s));
    }
};

class KioskWindowFullHd : public KioskWindow {
protected:
    KioskWindowFullHd() : KioskWindow(1920, 1080) {}
};

void ExpectCoversTheScreenWithCaptionedButtons(const XvfbDisplay& display, const ScreenRect& window,
                                               const std::string& shot) {
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.width, display.Width());
    EXPECT_EQ(window.height, display.Height());
    // On the 96-ppi test screen the window is three quarters of its 120-ppi design: buttons of 60
    // pixels, 10 pixels into a bottom panel of 80.
    for (int i = 0; i < 4; ++i) {
        const ScreenRect button{10 + 60 * i, display.Height() - 80 + 10, 60, 60};
        EXPECT_GT(CountPixelsNear(shot, button, "#000000", 60), 25) << "caption of button " << i;
    }
}

TEST_F(KioskWindow, CoversTheScreenAndShowsTheFourButtons) {
    StartAndWaitForWindow(RunningConfig());
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    std::this_thread::sleep_for(500ms);
    ExpectCoversTheScreenWithCaptionedButtons(display, WindowGeometry(display, "Киоск"), Shot("running.png"));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskWindowFullHd, CoversAFullHdScreenToo) {
    StartAndWaitForWindow(RunningConfig());
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    std::this_thread::sleep_for(500ms);
    ExpectCoversTheScreenWithCaptionedButtons(display, WindowGeometry(display, "Киоск"),
                                              Shot("running-fullhd.png"));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskWindow, AConfigurationErrorShowsTheOutOfOrderCaptionInRed) {
    StartAndWaitForWindow("[options]\nno value for this key\n");
    ASSERT_TRUE(WaitForMessage(".err", "Не работает"));
    std::this_thread::sleep_for(500ms);
    const std::string shot = Shot("out-of-order.png");
    const ScreenRect page{0, 0, display.Width(), display.Height() - 80};
    EXPECT_GT(CountPixelsNear(shot, page, "#e00000"), 700);  // a large caption, not a small one
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
