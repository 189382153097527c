// The program with its browser on the screen, driven as a visitor would through the touch buttons
// and the page; checked through its logs, the origin's requests and screenshots.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "tests/gui/kiosk_browsing.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

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

TEST_F(KioskBrowsing, ARussianTextInsertedIntoAUtf8PageShowsAsWrittenAndPagesAreAskedForRussian) {
    origin.Put("index.html", "<meta charset=\"utf-8\">" + Page("index", "<p>Привет, мир</p>"));
    const std::string site = "127.0.0.1:" + std::to_string(origin.Port());
    // A locale that names no language: the browser asks for Russian, the terminal's language.
    extraEnvironment = {"LC_ALL=", "LC_MESSAGES=", "LANG=C.UTF-8"};
    // The configuration starts with a UTF-8 byte-order mark, so its Russian texts are read as UTF-8.
    WriteFile(dir / "kiosk.cfg",
              "\xEF\xBB\xBF[options]\nstart\n" + origin.Url("/index.html") + "\ninternal\n" +
                  std::to_string(proxyPort) + "\n[document]\nurl\n" + site +
                  "/index.*\ntext\nПривет\nreplace\nЗдравствуйте\nafter\nadd\n (вставлено)\n");
    StartNextToItsPages();
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    ASSERT_TRUE(WaitForReports("index", 1));
    std::string shown;
    for (const auto& line : origin.Requests()) {
        const size_t report = line.find("/report?index-");
        if (report != std::string::npos)
            shown = DecodedReport(line.substr(report, line.find(' ', report) - report));
    }
    EXPECT_NE(shown.find("Здравствуйте (вставлено), мир"), std::string::npos) << shown;
    const auto sent = origin.RequestHeaders();
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(sent.front().find("accept-language=ru-RU"), std::string::npos) << sent.front();
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

// A visitor who only clicks and scrolls in the page is using it: no idle return while that goes on
// (a click or a wheel turn every 15 s for longer than the minute of idle time), one after it stops.
TEST_F(KioskBrowsing, ClicksAndWheelTurnsInThePageHoldTheIdleReturnOff) {
    origin.Put("index.html", Page("index", "<p style='height:2000px'>nothing to follow</p>"));
    StartOn(origin.Url("/index.html"), "sleep\n1\n");
    ASSERT_TRUE(WaitForReports("index", 1));
    WaitOutTheRepeatGuard();
    PressRefresh();  // starts the idle timer
    ASSERT_TRUE(WaitForReports("index", 2));
    for (const int button : {1, 5, 1, 4, 1}) {
        std::this_thread::sleep_for(15s);
        ClickAt(display, 300, 200, button);
    }
    EXPECT_EQ(Reports("index"), 2);
    EXPECT_TRUE(WaitUntil([&] { return Reports("index") == 3; }, 75s));
    EXPECT_EQ(Stop(), 0);
}

// A page's alert and confirm wait for nobody: the page's script goes on at once, for the first
// visitor as for the next one after Home.
TEST_F(KioskBrowsing, APagesDialogsAreAnsweredAlikeForTheFirstVisitorAndAfterHome) {
    origin.Put("index.html", Page("index",
                                  "<p id='answer'></p><script>alert('hello');"
                                  "answer.textContent = 'confirm ' + confirm('sure?');</script>"));
    const auto answered = [&] {
        return std::ranges::count_if(origin.Requests(), [](const std::string& line) {
            return line.find("/report?index-") != std::string::npos &&
                   line.find("confirm%20false") != std::string::npos;
        });
    };
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(WaitForReports("index", 1));
    EXPECT_EQ(answered(), 1);
    WaitOutTheRepeatGuard();
    PressHome();
    ASSERT_TRUE(WaitForReports("index", 2));
    EXPECT_EQ(answered(), 2);
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
