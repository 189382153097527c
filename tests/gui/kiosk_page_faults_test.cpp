// Faults of a page and of the browser, and a keyboard plugged into the terminal: the kiosk stays as
// it is, or heals itself, and stays usable.

#include <gtest/gtest.h>

#include <vector>

#include "tests/gui/kiosk_browsing.h"
#include "tests/support/window_manager_request.h"

namespace kiosk::testing {
namespace {

// From a local start page, scripts and links that aim outside the kiosk's pages (other local files,
// data:, mailto:, view-source:) load nothing: no net page, no error entry, one information entry
// each, and the page stays.
TEST_F(KioskBrowsing, NavigationsOutsideTheKiosksPagesAreRefusedQuietly) {
    WriteFile(dir / "net.html", "<p>Нет связи</p>");
    const std::vector<std::string> targets = {"file:///etc/passwd", "data:text/html,<p>data</p>",
                                              "mailto:visitor@example.org",
                                              "view-source:" + origin.Url("/second.html")};
    std::string list;
    for (const std::string& target : targets) list += (list.empty() ? "'" : ", '") + target + "'";
    // One target after another, then a report to the origin that the page is still there.
    const std::string report =
        "fetch('" + origin.Url("/report?") + "' + name + '-' + Date.now(), {mode: 'no-cors'})";
    WriteFile(dir / "index.html",
              BigLink("file:///etc/hostname") + "<script>const targets = [" + list +
                  "]; targets.forEach((t, i) => setTimeout(() => { location.href = t; }, 300 * (i + 1)));"
                  " const name = 'still'; setTimeout(() => " +
                  report +
                  ", 300 * (targets.length + 2));"
                  "</script>");
    StartOn("index.html", "[errors]\nnet\nnet.html\n");
    ASSERT_TRUE(WaitForReports("still", 1));
    ClickPage();  // a link, not a script
    for (const std::string& target :
         {targets[0], targets[1], targets[2], targets[3], std::string("file:///etc/hostname")})
        EXPECT_TRUE(WaitForMessage(".log", "Переход запрещён: " + target)) << target;
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

// A picture (no HTML, no body to style) shows, counts and is logged as loaded, with no error.
TEST_F(KioskBrowsing, AnImageDocumentShowsAndIsLoggedAsLoaded) {
    RunOnDisplay(display, "convert -size 400x300 xc:'#3366cc' '" + origin.Path("picture.png").string() + "'");
    StartOn(origin.Url("/picture.png"));
    ASSERT_TRUE(WaitForLoaded(origin.Url("/picture.png")));
    const auto blue = [&](const std::string& shot) {
        return CountPixelsNear(shot, PageRect(display), "#3366cc", 8);
    };
    EXPECT_GT(blue(ShotShowing("picture.png", [&](const std::string& shot) { return blue(shot) > 100000; })),
              100000);
    EXPECT_TRUE(HoldsFor([&] { return LogMessages(dir.path(), ".err").empty(); }, 1s))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_EQ(Stop(), 0);
}

// Back after a Refresh counts two documents but has no page to go back to: nothing moves on the
// screen (no busy animation that nothing would stop).
TEST_F(KioskBrowsing, BackWithNothingToGoBackToLeavesTheScreenStill) {
    StillStartPage();
    WaitOutTheRepeatGuard();
    PressRefresh();
    ASSERT_TRUE(WaitForReports("index", 2));
    // The pointer rests on Back first, so that only what the press does can change the screen.
    const ScreenRect back = ButtonRect(display, Button::Back);
    MovePointer(display, back.left + back.width / 2, back.top + back.height / 2);
    const std::string before = StillShot("refreshed.png");
    WaitOutTheRepeatGuard();
    PressBack();
    EXPECT_TRUE(HoldsFor([&] { return ScreenChangeFrom(before) < kNoChange; }, 2s));
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

// Home while the page keeps its main thread busy during the writes that follow its completion:
// the start page comes back, with no error and no box.
TEST_F(KioskBrowsing, HomeWhileAPageBlocksAtItsCompletionEndsTheWorkQuietly) {
    origin.Put("index.html", Page("index", BigLink("/busy.html")));
    origin.Put("busy.html", Page("busy",
                                 "<script>addEventListener('load', () => { const t = Date.now(); "
                                 "while (Date.now() - t < 5000); });</script>"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    const int windows = ShownWindowCount(display);
    WaitOutTheRepeatGuard();
    ClickPage();
    ASSERT_TRUE(WaitForReports("busy", 1));
    std::this_thread::sleep_for(1s);
    PressHome();
    ASSERT_TRUE(WaitForReports("index", 2));
    EXPECT_TRUE(HoldsFor([&] { return LogMessages(dir.path(), ".err").empty(); }, 5s))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_EQ(ShownWindowCount(display), windows);
    EXPECT_EQ(Stop(), 0);
}

// A keyboard plugged into the terminal: the browser's and the desktop's shortcuts open, zoom,
// navigate and close nothing.
TEST_F(KioskBrowsing, KeyboardShortcutsLeaveTheKioskAsItIs) {
    origin.Put("index.html", Page("index", BigLink("/second.html")));
    // The second page reports the keys it gets, so the test knows they reached the browser.
    origin.Put("second.html",
               Page("second",
                    "<p style='height:400px'>second page</p><script>document.addEventListener("
                    "'keydown', e => fetch('/report?key-' + Date.now() + '-' + e.key));</script>"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    ClickPage();  // a page to go back from, and the keyboard focus in the page
    ASSERT_TRUE(WaitForReports("second", 1));
    const std::string before = StillShot("before.png");
    const int windows = ShownWindowCount(display);
    const std::vector<std::string> shortcuts = {
        "ctrl+o", "ctrl+s",       "ctrl+p",   "ctrl+n",   "ctrl+t",    "ctrl+l",     "F11",
        "F12",    "ctrl+shift+i", "alt+Left", "alt+Home", "ctrl+plus", "ctrl+minus", "alt+F4"};
    for (const std::string& keys : shortcuts) {
        PressKeys(display, keys);
        std::this_thread::sleep_for(300ms);
        ASSERT_TRUE(IsRunning()) << keys;
        EXPECT_EQ(ShownWindowCount(display), windows) << keys;
    }
    // Under a window manager Alt+F4 (or any close) reaches the window as a request to close.
    AskWindowToClose(display, "Киоск");
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(IsRunning());
    EXPECT_LT(ScreenChangeFrom(before), kNoChange);
    EXPECT_EQ(Reports("index"), 1);
    EXPECT_EQ(Reports("second"), 1);
    EXPECT_GT(Reports("key"), 10);
    EXPECT_EQ(Stop(), 0);
}

// The process that draws the page, ended from outside (a crash, the kernel's out-of-memory killer).
class KioskPageProcess : public KioskBrowsing {
protected:
    void KillWebProcesses() {
        const std::vector<pid_t> pages = WebProcessesBelow(child->Pid());
        ASSERT_FALSE(pages.empty());
        for (const pid_t page : pages) ::kill(page, SIGKILL);
    }
    int ErrorsMentioning(const std::string& text) const {
        int count = 0;
        for (const std::string& message : LogMessages(dir.path(), ".err"))
            count += message.find(text) != std::string::npos;
        return count;
    }
};

TEST_F(KioskPageProcess, AKilledPageProcessShowsTheNetPageLogsOnceAndHomeStillWorks) {
    WriteFile(dir / "net.html", "<p>Нет связи</p>");
    origin.Put("index.html", Page("index", "start"));
    StartOn(origin.Url("/index.html"), "[errors]\nnet\nnet.html\n");
    ASSERT_TRUE(WaitForReports("index", 1));
    // Killed once the page has finished loading: a kill during the page's style writes fails that
    // write, which shows an error box over the window, and the box would take the Home press.
    ASSERT_TRUE(WaitForLoaded(origin.Url("/index.html")));
    KillWebProcesses();
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitForLoaded(NetPageUrl()));
    EXPECT_LT(std::chrono::steady_clock::now() - killed, 5s);
    EXPECT_TRUE(HoldsFor([&] { return ErrorsMentioning(origin.Url("/index.html")) == 1; }, 1s))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    WaitOutTheRepeatGuard();
    PressHome();
    EXPECT_TRUE(WaitForReports("index", 2)) << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskPageProcess, WithoutANetPageAKilledPageProcessShowsTheStartPageAgain) {
    origin.Put("index.html", Page("index", "start"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    KillWebProcesses();
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitForReports("index", 2));
    EXPECT_LT(std::chrono::steady_clock::now() - killed, 5s);
    EXPECT_TRUE(HoldsFor([&] { return ErrorsMentioning(origin.Url("/index.html")) == 1; }, 1s))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
