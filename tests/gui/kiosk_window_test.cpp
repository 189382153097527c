// The program's window on the screen: size, buttons, the out-of-order caption.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "tests/support/first_map_watch.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/screen.h"
#include "tests/support/window_layout.h"

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

// The dark pixels of button i's caption in shot.
long ButtonInk(const XvfbDisplay& display, const std::string& shot, int i) {
    return CountPixelsNear(shot, ButtonRect(display, i), "#000000", 60);
}

bool ShowsFourCaptionedButtons(const XvfbDisplay& display, const std::string& shot) {
    for (int i = 0; i < 4; ++i) {
        if (ButtonInk(display, shot, i) <= 25) return false;
    }
    return true;
}

void ExpectCoversTheScreenWithCaptionedButtons(const XvfbDisplay& display, const ScreenRect& window,
                                               const std::string& shot) {
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.width, display.Width());
    EXPECT_EQ(window.height, display.Height());
    for (int i = 0; i < 4; ++i) EXPECT_GT(ButtonInk(display, shot, i), 25) << "caption of button " << i;
}

TEST_F(KioskWindow, CoversTheScreenAndShowsTheFourButtons) {
    StartAndWaitForWindow(RunningConfig());
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    const std::string shot = ShotShowing("running.png", [&](const std::string& candidate) {
        return ShowsFourCaptionedButtons(display, candidate);
    });
    ExpectCoversTheScreenWithCaptionedButtons(display, WindowGeometry(display, "Киоск"), shot);
    EXPECT_EQ(Stop(), 0);
}

// Nothing is on the screen (or can be pressed) until start-up has decided how the terminal runs,
// and then the window comes up at the screen's size, not at its design size first.
TEST_F(KioskWindow, AppearsOnlyOnceStartedAndAlreadyFullScreen) {
    FirstMapWatch watch(display);
    WriteFile(dir / "kiosk.cfg", RunningConfig());
    WriteFile(dir / "index.html", "<p>start</p>");
    StartNextToItsPages();
    bool startedBeforeMap = false;
    const std::optional<ScreenRect> mapped = watch.WaitForFirstMap(20s, [&] {
        const auto messages = LogMessages(dir.path(), ".log");
        startedBeforeMap = std::ranges::find(messages, "Начало работы") != messages.end();
    });
    ASSERT_TRUE(mapped.has_value()) << "no window was mapped";
    EXPECT_TRUE(startedBeforeMap);
    EXPECT_EQ(mapped->left, 0);
    EXPECT_EQ(mapped->top, 0);
    EXPECT_EQ(mapped->width, display.Width());
    EXPECT_EQ(mapped->height, display.Height());
    // A window manager, where there is one, is asked to keep it full screen and above panels.
    const std::string state =
        RunOnDisplay(display, "xprop -id " + std::to_string(watch.MappedWindow()) + " _NET_WM_STATE");
    EXPECT_NE(state.find("_NET_WM_STATE_FULLSCREEN"), std::string::npos) << state;
    EXPECT_NE(state.find("_NET_WM_STATE_ABOVE"), std::string::npos) << state;
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskWindowFullHd, CoversAFullHdScreenToo) {
    StartAndWaitForWindow(RunningConfig());
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    const std::string shot = ShotShowing("running-fullhd.png", [&](const std::string& candidate) {
        return ShowsFourCaptionedButtons(display, candidate);
    });
    ExpectCoversTheScreenWithCaptionedButtons(display, WindowGeometry(display, "Киоск"), shot);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskWindow, AConfigurationErrorShowsTheOutOfOrderCaptionInRed) {
    StartAndWaitForWindow("[options]\nno value for this key\n");
    ASSERT_TRUE(WaitForMessage(".err", "Не работает"));
    const ScreenRect page = PageRect(display);
    const auto captionInk = [&](const std::string& shot) { return CountPixelsNear(shot, page, "#e00000"); };
    const std::string shot = ShotShowing(
        "out-of-order.png", [&](const std::string& candidate) { return captionInk(candidate) > 700; });
    EXPECT_GT(captionInk(shot), 700);  // a large caption, not a small one
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
