// The running program as the browser's proxy: real clients (curl, headless Chromium) fetch pages of a
// real origin (python3's http.server) through build/kiosk, whose configuration rewrites them.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "os/tcp_socket.h"
#include "tests/support/child_process.h"
#include "tests/support/chromium.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// python3's http.server serving a directory on a free loopback port.
class PythonOrigin {
public:
    explicit PythonOrigin(const TempDir& root)
        : port_(FreePort()),
          server_(
              "/usr/bin/python3",
              {"-m", "http.server", "--bind", "127.0.0.1", "--directory", root.str(), std::to_string(port_)},
              root.str(), (log_ / "origin.log").string()) {
        EXPECT_TRUE(WaitUntil([&] { return AcceptsConnections(port_); }, 20s)) << "the origin did not start";
    }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    TempDir log_;
    int port_;
    ChildProcess server_;
};

// Runs a program to its end and returns its standard output.
std::string RunToEnd(const std::string& program, const std::vector<std::string>& arguments) {
    TempDir scratch;
    ChildProcess child(program, arguments, scratch.str(), (scratch / "out").string(), {},
                       (scratch / "err").string());
    EXPECT_EQ(child.WaitForExit(60s), 0) << program;
    return ReadFile(scratch / "out");
}

class KioskProxy : public KioskRun {
protected:
    std::string Curl(const std::vector<std::string>& arguments) {
        std::vector<std::string> all{"-s", "-x", "http://127.0.0.1:" + std::to_string(proxyPort)};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return RunToEnd("/usr/bin/curl", all);
    }

    TempDir site;
};

TEST_F(KioskProxy, ChromiumSeesThePageAsTheDocumentScriptRewroteIt) {
    WriteFile(site / "page.html",
              "<html><body><p id=\"greeting\">Hello origin</p><p>origin again</p></body></html>");
    PythonOrigin origin(site);
    const std::string key = "127.0.0.1:" + std::to_string(origin.Port()) + "/page.html";
    StartWith(
        "[document]\nurl\n" + key +
        "\nlabel\nagain\ntext\norigin\ncontinue\ntry\ndone\nreplace\nkiosk\ngoto\nagain\nlabel\ndone\n");
    const std::string dom = DumpDomThroughProxy(origin.Url("/page.html"), proxyPort);
    EXPECT_NE(dom.find("<p id=\"greeting\">Hello kiosk</p><p>kiosk again</p>"), std::string::npos) << dom;
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskProxy, AMissingPageBecomesTheConfiguredDocumentPage) {
    WriteFile(dir / "notfound.html", "<p>no such page</p>");
    PythonOrigin origin(site);
    StartWith("[errors]\ndocument\nnotfound.html\n");
    const std::string answer = Curl({"-i", origin.Url("/missing.html")});
    EXPECT_TRUE(answer.starts_with("HTTP/1.0 200 OK\r\n")) << answer;
    EXPECT_TRUE(answer.ends_with("\r\n\r\n<p>no such page</p>")) << answer;
    EXPECT_EQ(Stop(), 0);
    const auto errors = LogMessages(dir.path(), ".err");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "127.0.0.1:" + std::to_string(origin.Port()) +
                             "/missing.html: HTTP/1.0 404 File not found > notfound.html");
}

TEST_F(KioskProxy, PagesPassUnchangedAndTunnelsCarryTheirBytes) {
    std::string big;
    for (int i = 0; big.size() < 3'000'000; ++i) big += "line " + std::to_string(i) + "\n";
    WriteFile(site / "big.txt", big);
    PythonOrigin origin(site);
    StartWith("");
    EXPECT_EQ(Curl({origin.Url("/big.txt")}), big);
    EXPECT_EQ(Curl({"--proxytunnel", origin.Url("/big.txt")}), big);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
}

}  // namespace
}  // namespace kiosk::testing
