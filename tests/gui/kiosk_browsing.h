#pragma once

// The program driven as a visitor would: through the touch buttons and a page of a real origin,
// checked through its logs, the origin's requests and screenshots.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "shell/start_page.h"
#include "tests/support/file_origin.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/screen.h"
#include "tests/support/wait_until.h"
#include "tests/support/window_layout.h"

namespace kiosk::testing {

using namespace std::chrono_literals;

// The buttons take no press within 2 s of the last action, measured by the program's clock from a
// moment the test cannot see: a test that presses again waits that long and a little more.
inline constexpr auto kRepeatGuard = 2100ms;

inline void WaitOutTheRepeatGuard() {
    std::this_thread::sleep_for(kRepeatGuard);
}

// A screenshot that shows a menu differs from one before it in more pixels than this; one without
// a menu in fewer than kNoChange.
inline constexpr long kMenuChange = 1000;
inline constexpr long kNoChange = 50;

// Reports every load of the page to the origin with a query of its own, so that reloads count even
// when the page itself comes from a cache.
inline std::string Page(const std::string& name, const std::string& body) {
    return "<html><head><title>" + name + "</title></head><body style='margin:0'>" + body +
           "<script>fetch('/report?" + name +
           "-' + Date.now() + '-' + encodeURIComponent(document.body.innerText), {cache: 'no-store'});"
           "</script></body></html>";
}

// A link that covers the top of the page, where the tests click.
inline std::string BigLink(const std::string& target, const std::string& attributes = "") {
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

}  // namespace kiosk::testing
