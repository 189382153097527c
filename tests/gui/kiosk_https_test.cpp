// HTTPS pages in the program's own browser through its decrypting proxy: the browser trusts the leaves
// the proxy shows it, and nothing else; the origins' certificates come from a throwaway CA given as
// the proxy's "cafile". Checked through the logs, the origins' requests and screenshots.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/support/kiosk_run.h"
#include "tests/support/screen.h"
#include "tests/support/test_ca.h"
#include "tests/support/tls_origin.h"
#include "tests/support/wait_until.h"
#include "tests/support/window_layout.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kSide = 200;  // each picture's side in pixels

std::string Square(const std::string& colour) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'><rect width='10' height='10' "
           "fill='" +
           colour + "'/></svg>";
}

class KioskHttps : public KioskRun {
protected:
    void StartOn(const std::string& start, const std::string& more = "") {
        WriteFile(dir / "trusted.pem", ReadFile(testCa.CaFile()));
        WriteFile(dir / "kiosk.cfg", "[options]\nstart\n" + start + "\ninternal\n" +
                                         std::to_string(proxyPort) + "\nhttps\nall\ncafile\ntrusted.pem\n" +
                                         more);
        StartNextToItsPages();
        ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    }
    // Whether the square at the page's position index (left to right) shows colour.
    bool Shows(const std::string& shot, int index, const std::string& colour) {
        const ScreenRect square{index * kSide + 20, 20, kSide - 40, kSide - 40};
        return CountPixelsNear(shot, square, colour) > square.width * square.height * 9 / 10;
    }

    TestCa testCa;
};

TEST_F(KioskHttps, AnHttpsStartPageIsRewrittenAndShowsPicturesOfThreeOtherHttpsHosts) {
    TlsOrigin page(testCa.Issue({"localhost"}));
    TlsOrigin red(testCa.Issue({"127.0.0.2"}), "127.0.0.2");
    TlsOrigin green(testCa.Issue({"127.0.0.3"}), "127.0.0.3");
    TlsOrigin blue(testCa.Issue({"127.0.0.4"}), "127.0.0.4");
    red.Put("square.svg", Square("#ff0000"));
    green.Put("square.svg", Square("#00ff00"));
    blue.Put("square.svg", Square("#0000ff"));
    std::string pictures;
    for (const TlsOrigin* origin : {&red, &green, &blue})
        pictures += "<img src='" + origin->Url("/square.svg") + "' width='200' height='200'>";
    const std::string url = "https://localhost:" + std::to_string(page.Port()) + "/index.html";
    page.Put("index.html",
             "<html><body style='margin:0;line-height:0'>" + pictures +
                 "<p>Hello origin</p><script>fetch('/index.html?seen=' + "
                 "encodeURIComponent(document.body.innerText), {cache: 'no-store'});</script></body></html>");
    StartOn(url, "[document]\nurl\nlocalhost:" + std::to_string(page.Port()) +
                     "/index.html\ntext\norigin\ncontinue\nreplace\nkiosk\n");
    ASSERT_TRUE(WaitForMessage(".log", "Загружен документ: " + url));
    // The page shows the text the proxy's script made of it.
    EXPECT_TRUE(page.WaitForRequest("GET /index.html?seen=%0AHello%20kiosk"))
        << ::testing::PrintToString(page.Requests());
    const std::string shot = ShotShowing("pictures.png", [&](const std::string& path) {
        return Shows(path, 0, "#ff0000") && Shows(path, 1, "#00ff00") && Shows(path, 2, "#0000ff");
    });
    EXPECT_TRUE(Shows(shot, 0, "#ff0000"));
    EXPECT_TRUE(Shows(shot, 1, "#00ff00"));
    EXPECT_TRUE(Shows(shot, 2, "#0000ff"));
    // The next visitor's browser trusts the leaves the proxy has shown before it existed.
    std::this_thread::sleep_for(2100ms);  // buttons take no press within 2 s of the last action
    PressButton(display, Button::Home);
    EXPECT_TRUE(WaitUntil(
        [&] {
            int seen = 0;
            for (const std::string& line : page.Requests()) seen += line.starts_with("GET /index.html?seen=");
            return seen == 2;
        },
        20s));
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

// A page of an IPv6 address: the proxy mints its leaf for the address, and the browser trusts it for
// the host it wrote in brackets.
TEST_F(KioskHttps, AnHttpsPageOfAnIPv6AddressIsTrustedAndRewritten) {
    TlsOrigin page(testCa.Issue({"::1"}), "::1");
    const std::string url = page.Url("/index.html");
    page.Put("index.html",
             "<html><body><p>Hello origin</p><script>fetch('/index.html?seen=' + "
             "encodeURIComponent(document.body.innerText), {cache: 'no-store'});</script></body></html>");
    StartOn(url, "[document]\nurl\n[::1]:" + std::to_string(page.Port()) +
                     "/index.html\ntext\norigin\ncontinue\nreplace\nkiosk\n");
    ASSERT_TRUE(WaitForMessage(".log", "Загружен документ: " + url))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_TRUE(page.WaitForRequest("GET /index.html?seen=Hello%20kiosk"))
        << ::testing::PrintToString(page.Requests());
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskHttps, AnHttpsMissingPageShowsTheDocumentPage) {
    TlsOrigin page(testCa.Issue({"localhost"}));
    WriteFile(dir / "notfound.html",
              "<html><body style='margin:0'><div "
              "style='width:600px;height:600px;background:#00ff00'></div></body></html>");
    const std::string url = "https://localhost:" + std::to_string(page.Port()) + "/missing.html";
    StartOn(url, "[errors]\ndocument\nnotfound.html\n");
    const std::string shot =
        ShotShowing("notfound.png", [&](const std::string& path) { return Shows(path, 0, "#00ff00"); });
    EXPECT_TRUE(Shows(shot, 0, "#00ff00"));
    EXPECT_TRUE(WaitForMessage(".err", "localhost:" + std::to_string(page.Port()) +
                                           "/missing.html: HTTP/1.1 404 File not found > notfound.html"))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskHttps, AnOriginWhoseCertificateFailsShowsTheNetPageAndLogsWhy) {
    TlsOrigin page(testCa.Issue({"localhost"}, TestCa::IssueKind::SelfSigned));
    page.Put("index.html", "<html><body>secret</body></html>");
    WriteFile(dir / "net.html",
              "<html><body style='margin:0'><div "
              "style='width:600px;height:600px;background:#0000ff'></div></body></html>");
    const std::string url = "https://localhost:" + std::to_string(page.Port()) + "/index.html";
    StartOn(url, "[errors]\nnet\nnet.html\n");
    const std::string shot =
        ShotShowing("net.png", [&](const std::string& path) { return Shows(path, 0, "#0000ff"); });
    EXPECT_TRUE(Shows(shot, 0, "#0000ff"));
    EXPECT_EQ(page.RequestsFor("/index.html"), 0);
    EXPECT_TRUE(WaitForMessage(".err", "localhost:" + std::to_string(page.Port()) + ": TLS localhost:" +
                                           std::to_string(page.Port()) + ": self-signed certificate"))
        << ::testing::PrintToString(LogMessages(dir.path(), ".err"));
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
