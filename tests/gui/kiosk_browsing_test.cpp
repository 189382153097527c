// The program with its browser on the screen, driven as a visitor would through the touch buttons
// and the page; checked through its logs, the origin's requests and screenshots.

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "shell/start_page.h"
#include "tests/support/file_origin.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/screen.h"
#include "tests/support/window_layout.h"
#include "tests/support/window_manager_request.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// The buttons take no press within 2 s of the last action, measured by the program's clock from a
// moment the test cannot see: a test that presses again waits that long and a little more.
constexpr auto kRepeatGuard = 2100ms;

void WaitOutTheRepeatGuard() {
    std::this_thread::sleep_for(kRepeatGuard);
}

// A screenshot that shows a menu differs from one before it in more pixels than this; one without
// a menu in fewer than kNoChange.
constexpr long kMenuChange = 1000;
constexpr long kNoChange = 50;

// Reports every load of the page to the origin with a query of its own, so that reloads count even
// when the page itself comes from a cache.
std::string Page(const std::string& name, const std::string& body) {
    return "<html><head><title>" + name + "</title></head><body style='margin:0'>" + body +
           "<script>fetch('/report?" + name +
           "-' + Date.now() + '-' + encodeURIComponent(document.body.innerText), {cache: 'no-store'});"
           "</script></body></html>";
}

// A link that covers the top of the page, where the tests click.
std::string BigLink(const std::string& target, const std::string& attributes = "") {
    return "<a href='" + target + "' " + attributes +
           " style='display:block;height:400px;background:#ccf'>link</a>";
}

class KioskBrowsing : public KioskRun {
protected:
    void StartOn(const std::string& start, const std::string& more = "") {
        WriteFile(dir / "kiosk.cfg",
                  "[options]\nstart\n" + start + "\ninternal\n" + std::to_string(proxyPort) + "\n" + more);
        StartNextToItsPages();
        ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    }
    bool WaitForLoaded(const std::string& url) { return WaitForMessage(".log", "Загружен документ: " + url); }
    int Reports(const std::string& name) const { return origin.RequestsFor("/report?" + name + "-", true); }
    bool WaitForReports(const std::string& name, int count) const {
        return WaitUntil([&] { return Reports(name) >= count; }, 20s);
    }
    void PressHome() { PressButton(display, Button::Home); }
    void PressBack() { PressButton(display, Button::Back); }
    void PressRefresh() { PressButton(display, Button::Refresh); }
    void ClickPage() { ClickAt(display, 300, 200); }
    // The start page with a big link, once it shows and nothing on the screen moves any more: its
    // screenshot.
    std::string StillStartPage(const std::string& options = "") {
        origin.Put("index.html", Page("index", BigLink("/second.html")));
        StartOn(origin.Url("/index.html"), options);
        EXPECT_TRUE(WaitForReports("index", 1));
        // The page has reported itself; the screen shows it a moment later.
        ShotShowing("painted.png", [](const std::string& shot) {
            return CountPixelsNear(shot, ScreenRect{250, 150, 100, 100}, "#ccccff", 8) > 9000;
        });
        return StillShot("before.png");
    }
    // How many pixels differ between before and the screen now.
    long ScreenChangeFrom(const std::string& before) {
        return CountDifferentPixels(before, Shot("after.png"));
    }
    bool WaitForMenu(const std::string& before) {
        return WaitUntil([&] { return ScreenChangeFrom(before) > kMenuChange; }, 10s);
    }
    // A menu would open within a second, as it does when it is allowed.
    bool NoMenuOpens(const std::string& before) {
        return HoldsFor([&] { return ScreenChangeFrom(before) < kNoChange; }, 1s);
    }
    std::string NetPageUrl() const { return LocalPageUrl(dir.str() + "/", "net.html"); }

    FileOrigin origin;
};

TEST_F(KioskBrowsing, TheStartPageComesThroughTheProxyWithItsDocumentScriptApplied) {
    origin.Put("index.html", Page("index", "<p>Hello origin</p>"));
    StartOn(origin.Url("/index.html"), "[document]\nurl\n127.0.0.1:" + std::to_string(origin.Port()) +
                                           "/index.html\ntext\norigin\ncontinue\nreplace\nkiosk\n");
    ASSERT_TRUE(WaitForLoaded(origin.Url("/index.html")));
    ASSERT_TRUE(WaitForReports("index", 1));
    // The page reports the text it shows: the script of the proxy replaced "origin".
    bool rewritten = false;
    for (const auto& line : origin.Requests())
        rewritten = rewritten || line.find("Hello%20kiosk") != line.npos;
    EXPECT_TRUE(rewritten) << ::testing::PrintToString(origin.Requests());
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, HomeTwiceWithinTwoSecondsLoadsTheStartPageOnce) {
    origin.Put("index.html", Page("index", "start"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    WaitOutTheRepeatGuard();
    PressHome();
    PressHome();
    ASSERT_TRUE(WaitForReports("index", 2));
    // A second load would have been reported by now.
    EXPECT_TRUE(HoldsFor([&] { return Reports("index") == 2; }, 2500ms)) << Reports("index");
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, BackWorksOnlyAfterTwoCompletedDocuments) {
    origin.Put("index.html", Page("index", BigLink("/second.html")));
    origin.Put("second.html", Page("second", "second page"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForLoaded(origin.Url("/index.html")));
    WaitOutTheRepeatGuard();
    PressBack();  // one document so far: refused
    ClickPage();
    ASSERT_TRUE(WaitForLoaded(origin.Url("/second.html")));
    WaitOutTheRepeatGuard();
    PressBack();
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto messages = LogMessages(dir.path(), ".log");
            return messages.back() == "Загружен документ: " + origin.Url("/index.html");
        },
        20s));
    const auto messages = LogMessages(dir.path(), ".log");
    EXPECT_EQ(
        std::count(messages.begin(), messages.end(), "Загружен документ: " + origin.Url("/second.html")), 1);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, RefreshReloadsAndWithCtrlHeldBypassesTheCache) {
    origin.Put("index.html", Page("index", "start"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    WaitOutTheRepeatGuard();
    PressRefresh();
    ASSERT_TRUE(WaitForReports("index", 2));
    WaitOutTheRepeatGuard();
    RunOnDisplay(display, "xdotool keydown Control_L");
    PressRefresh();
    RunOnDisplay(display, "xdotool keyup Control_L");
    ASSERT_TRUE(WaitForReports("index", 3));
    std::vector<std::string> pageRequests;
    for (const auto& line : origin.Requests())
        if (line.starts_with("GET /index.html ")) pageRequests.push_back(line);
    ASSERT_EQ(pageRequests.size(), 3u) << ::testing::PrintToString(pageRequests);
    EXPECT_NE(pageRequests[1], "GET /index.html cache-control=no-cache");
    EXPECT_EQ(pageRequests[2], "GET /index.html cache-control=no-cache");
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, AnUnreachableHostShowsTheNetPageHidesKeysAndLogsTheError) {
    WriteFile(dir / "net.html", "<p>Нет связи</p>");
    const std::string unreachable = "http://127.0.0.1:" + std::to_string(FreePort()) + "/";
    StartOn(unreachable, "[errors]\nnet\nnet.html\n");
    ASSERT_TRUE(WaitForMessage(".err", unreachable + " > net.html"));
    ASSERT_TRUE(WaitForLoaded(NetPageUrl()));
    const auto homeInk = [&](const std::string& shot) {
        return CountPixelsNear(shot, ButtonRect(display, Button::Home), "#000000", 60);
    };
    const auto keysInk = [&](const std::string& shot) {
        return CountPixelsNear(shot, ButtonRect(display, Button::Keys), "#000000", 60);
    };
    const std::string shot = ShotShowing("net.png", [&](const std::string& candidate) {
        return homeInk(candidate) > 25 && keysInk(candidate) < 5;
    });
    EXPECT_GT(homeInk(shot), 25);  // Home shown
    EXPECT_LT(keysInk(shot), 5);   // Keys hidden
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, AMissingPageShowsTheDocumentPageThroughTheProxy) {
    WriteFile(dir / "notfound.html", Page("notfound", "Страница не найдена"));
    StartOn(origin.Url("/missing.html"), "[errors]\ndocument\nnotfound.html\n");
    ASSERT_TRUE(WaitForReports("notfound", 1));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, ARightClickShowsNoMenuByDefault) {
    const std::string before = StillStartPage();
    ClickAt(display, 300, 200, 3);
    EXPECT_TRUE(NoMenuOpens(before)) << ScreenChangeFrom(before);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, TheKeyboardsMenuKeyStillOpensTheMenu) {
    const std::string before = StillStartPage();
    PressKeys(display, "Menu");
    EXPECT_TRUE(WaitForMenu(before)) << ScreenChangeFrom(before);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, ARightClickShowsTheMenuWhenMenusAreAllowed) {
    const std::string before = StillStartPage("menu\ntrue\n");
    // The page learns what lies under the pointer from its moves; a press that comes with the very
    // first move may find no link there yet.
    MovePointer(display, 300, 200);
    std::this_thread::sleep_for(300ms);
    ClickAt(display, 300, 200, 3);
    EXPECT_TRUE(WaitForMenu(before)) << ScreenChangeFrom(before);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, LinksAndScriptsAimedAtNewWindowsOpenNothing) {
    origin.Put(
        "index.html",
        Page("index", BigLink("/blank.html", "target='_blank'") +
                          "<script>for (let i = 0; i < 100; ++i) window.open('/popup.html');</script>"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    const int windows = ShownWindowCount(display);
    ClickPage();
    // Nothing of the click or the scripts shows within 2 s: no request, no window.
    EXPECT_TRUE(HoldsFor(
        [&] {
            return origin.RequestsFor("/blank.html") == 0 && origin.RequestsFor("/popup.html") == 0 &&
                   ShownWindowCount(display) == windows;
        },
        2s));
    EXPECT_EQ(origin.RequestsFor("/blank.html"), 0);
    EXPECT_EQ(origin.RequestsFor("/popup.html"), 0);
    EXPECT_EQ(ShownWindowCount(display), windows);
    PressHome();
    ASSERT_TRUE(WaitForReports("index", 2));  // still usable
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, APageThatLoopsAlertsShowsNoDialogAndHomeStillWorks) {
    origin.Put("index.html", Page("index", BigLink("/trap.html")));
    origin.Put("trap.html", "<script>for (;;) alert('again');</script>");
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    const int windows = ShownWindowCount(display);
    WaitOutTheRepeatGuard();
    PressHome();  // from now on the control answers dialogs itself
    ASSERT_TRUE(WaitForReports("index", 2));
    ClickPage();
    ASSERT_TRUE(origin.WaitForRequest("GET /trap.html"));
    // No dialog shows while the page loops, for as long as Home is refused anyway.
    EXPECT_TRUE(HoldsFor([&] { return ShownWindowCount(display) == windows; }, kRepeatGuard));
    PressHome();
    ASSERT_TRUE(WaitForReports("index", 3));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, MissingStartPageAndNetPageThatIsADirectoryLeaveTheKioskUsable) {
    std::filesystem::create_directory(dir / "net.html");
    StartOn("missing.html", "[errors]\nnet\nnet.html\n");
    // The failed start page and the net page that cannot be shown neither end the program nor write
    // an error line (there is no page to show) within 3 s.
    EXPECT_TRUE(HoldsFor([&] { return IsRunning() && LogMessages(dir.path(), ".err").empty(); }, 3s));
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    PressHome();
    EXPECT_TRUE(HoldsFor([&] { return IsRunning(); }, 1s));
    EXPECT_EQ(Stop(), 0);
}

// A bitmap of 8192 x 8192 pixels in 24 bits: 201 MB, nearly all of it zeros.
void WriteHugeBitmap(const std::filesystem::path& path) {
    const std::uint32_t side = 8192, pixels = side * side * 3, size = 54 + pixels;
    std::string head(54, '\0');
    const auto put = [&head](size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) head[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    head[0] = 'B';
    head[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, side, 4);
    put(22, side, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, pixels, 4);
    WriteFile(path, head);
    std::filesystem::resize_file(path, size);
}

TEST_F(KioskBrowsing, AHugeImageLeavesTheKioskUsable) {
    origin.Put("index.html", Page("index", BigLink("/huge.bmp")));
    WriteHugeBitmap(origin.Path("huge.bmp"));
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    ClickPage();
    ASSERT_TRUE(origin.WaitForRequest("GET /huge.bmp"));
    // The program outlives the image's load and decoding.
    EXPECT_TRUE(HoldsFor([&] { return IsRunning(); }, 5s));
    PressHome();
    ASSERT_TRUE(WaitForReports("index", 2));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskBrowsing, TheIdleReturnBringsTheStartPageBackOnce) {
    origin.Put("index.html", Page("index", BigLink("/second.html")));
    origin.Put("second.html", Page("second", "second page"));
    StartOn(origin.Url("/index.html"), "sleep\n1\n");
    ASSERT_TRUE(WaitForReports("index", 1));
    WaitOutTheRepeatGuard();
    PressRefresh();  // starts the idle timer
    ASSERT_TRUE(WaitForReports("index", 2));
    ClickPage();
    ASSERT_TRUE(WaitForReports("second", 1));
    ASSERT_TRUE(WaitUntil([&] { return Reports("index") == 3; }, 75s));
    // Once: no further return within 5 s.
    EXPECT_TRUE(HoldsFor([&] { return Reports("index") == 3; }, 5s)) << Reports("index");
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
    // The kiosk's web processes now, one pid per line.
    std::string WebProcesses() const {
        try {
            return RunOnDisplay(display, "pgrep -P " + std::to_string(child->Pid()) + " -f WebKitWebProcess");
        } catch (const std::exception&) {
            return "";  // pgrep fails when it finds none
        }
    }
    void KillWebProcesses() {
        ASSERT_FALSE(WebProcesses().empty());
        RunOnDisplay(display, "kill -9 $(pgrep -P " + std::to_string(child->Pid()) + " -f WebKitWebProcess)");
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
    KillWebProcesses();
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitForLoaded(NetPageUrl()));
    EXPECT_LT(std::chrono::steady_clock::now() - killed, 5s);
    EXPECT_TRUE(HoldsFor([&] { return ErrorsMentioning(origin.Url("/index.html")) == 1; }, 1s))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    WaitOutTheRepeatGuard();
    PressHome();
    EXPECT_TRUE(WaitForReports("index", 2));
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
