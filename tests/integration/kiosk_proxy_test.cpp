// The running program as the browser's proxy: real clients (curl, headless Chromium) fetch pages of a
// real origin (python3's http.server) through build/kiosk, whose configuration rewrites them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "os/tcp_socket.h"
#include "proxy/http/request_target.h"
#include "tests/support/child_process.h"
#include "tests/support/chromium.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// python3's http.server serving a directory on a free port of a loopback address ("127.0.0.1", "::1").
class PythonOrigin {
public:
    explicit PythonOrigin(const TempDir& root, const std::string& address = "127.0.0.1")
        : address_(address),
          port_(FreePort()),
          server_("/usr/bin/python3",
                  {"-m", "http.server", "--bind", address, "--directory", root.str(), std::to_string(port_)},
                  root.str(), (log_ / "origin.log").string()) {
        EXPECT_TRUE(WaitUntil([&] { return AcceptsConnections(port_, address); }, 20s))
            << "the origin did not start";
    }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const {
        return "http://" + UrlHost(address_) + ":" + std::to_string(port_) + path;
    }

private:
    TempDir log_;
    std::string address_;
    int port_;
    ChildProcess server_;
};

// Runs a program to its end and returns its standard output; succeeds: whether it should end with
// status 0.
std::string RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
                     bool succeeds = true) {
    TempDir scratch;
    ChildProcess child(program, arguments, scratch.str(), (scratch / "out").string(), {},
                       (scratch / "err").string());
    const std::optional<int> status = child.WaitForExit(60s);
    EXPECT_TRUE(status && (*status == 0) == succeeds) << program << " ended with " << status.value_or(-1);
    return ReadFile(scratch / "out");
}

class KioskProxy : public KioskRun {
protected:
    std::string Curl(const std::vector<std::string>& arguments, bool succeeds = true) {
        std::vector<std::string> all{"-s", "-x", "http://127.0.0.1:" + std::to_string(proxyPort)};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return RunToEnd("/usr/bin/curl", all, succeeds);
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

TEST_F(KioskProxy, IPv6OriginsByAddressThroughPagesAndTunnels) {
    if (!IPv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 loopback (::1) here";
    const std::string page = "<html><body>over IPv6</body></html>";
    WriteFile(site / "page.html", page);
    PythonOrigin origin(site, "::1");
    StartWith("headers\nheaders.txt\n");
    EXPECT_EQ(Curl({origin.Url("/page.html")}), page);
    EXPECT_EQ(Curl({"--proxytunnel", origin.Url("/page.html")}), page);
    const std::string closed = "[::1]:" + std::to_string(FreePort());
    Curl({"http://" + closed + "/gone.html"}, false);
    Curl({"--proxytunnel", "http://" + closed + "/gone.html"}, false);
    EXPECT_EQ(Stop(), 0);

    // The log and the dump show the host as the browser wrote it.
    const std::string host = "[::1]:" + std::to_string(origin.Port());
    const std::string dump = ReadFile(dir / "headers.txt");
    EXPECT_NE(dump.find("[Request " + host + "]\r\nGET /page.html\r\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("[Request " + host + "]\r\nCONNECT \r\n"), std::string::npos) << dump;
    EXPECT_EQ(LogMessages(dir.path(), ".err"),
              (std::vector<std::string>{closed + "/gone.html: Socket Error # 111 Connection refused.",
                                        closed + ": Socket Error # 111 Connection refused."}));
}

// The program runs with hosts as its /etc/hosts: started through unshare into a mount namespace of
// its own, where the file is bound over /etc/hosts (root, or CAP_SYS_ADMIN, is needed).
std::vector<std::string> WithPrivateHosts(const std::filesystem::path& hosts) {
    return {"/usr/bin/unshare",
            "--mount",
            "--propagation",
            "private",
            "/bin/sh",
            "-c",
            "mount --bind \"$1\" /etc/hosts && shift && exec \"$@\"",
            "sh",
            hosts.string()};
}

// What getent tells about name when run through launcher; empty when that fails.
std::string AddressesThrough(const std::vector<std::string>& launcher, const std::string& name) {
    TempDir scratch;
    std::vector<std::string> arguments(launcher.begin() + 1, launcher.end());
    arguments.insert(arguments.end(), {"/usr/bin/getent", "ahosts", name});
    ChildProcess getent(launcher.front(), arguments, scratch.str(), (scratch / "out").string());
    return getent.WaitForExit(20s) == 0 ? ReadFile(scratch / "out") : std::string();
}

TEST_F(KioskProxy, ANameWithBothKindsOfAddressLoadsAfterOneStaggerWhenIPv6DoesNotAnswer) {
    if (!IPv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 loopback (::1) here";
    TempDir etc;
    WriteFile(etc / "hosts", "127.0.0.1 localhost\n::1 dual.test\n127.0.0.1 dual.test\n");
    launcher = WithPrivateHosts(etc / "hosts");
    const std::string resolved = AddressesThrough(launcher, "dual.test");
    if (resolved.find("::1") == std::string::npos || resolved.find("127.0.0.1") == std::string::npos)
        GTEST_SKIP() << "no private /etc/hosts here (unshare --mount and mount --bind need root): "
                     << resolved;

    const std::string page = "<html><body>dual stack</body></html>";
    WriteFile(site / "page.html", page);
    PythonOrigin v4Only(site, "127.0.0.1");
    const SilentListener unanswered("::1", v4Only.Port());
    PythonOrigin v6Only(site, "::1");
    StartWith("");
    const std::string v4Url = "http://dual.test:" + std::to_string(v4Only.Port()) + "/page.html";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Curl({v4Url}), page);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 5s) << "the page waited for the connect limit (30 s)";
    EXPECT_GE(took, 250ms) << "the IPv6 address was not tried first";
    std::cout << "the page arrived after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
              << " ms with its IPv6 address unanswered\n";
    EXPECT_EQ(Curl({"--proxytunnel", v4Url}), page);
    EXPECT_EQ(Curl({"http://dual.test:" + std::to_string(v6Only.Port()) + "/page.html"}), page);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
}

// An origin whose one answer no real server gives: a status line with a lone CR inside it.
TEST_F(KioskProxy, ALoneCrInAnOriginsStatusLineIsABlankInTheLogLine) {
    WriteFile(dir / "notfound.html", "<p>no such page</p>");
    TcpListener origin("127.0.0.1", 0, 1);
    std::thread answering([&] {
        try {
            std::optional<TcpSocket> connection = origin.Accept();
            if (!connection || !connection->IsOpen()) return;
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const size_t size = connection->Receive(buffer, sizeof buffer, 20s);
                if (size == 0) return;
                head.append(buffer, size);
            }
            connection->Send(
                "HTTP/1.0 500 Bad\rFake: line\r\nContent-Type: text/html\r\nContent-Length: 5\r\n\r\nerror");
            connection->Close();
        } catch (const std::exception& failure) {
            ADD_FAILURE() << "the origin: " << failure.what();
        }
    });
    StartWith("[errors]\ndocument\nnotfound.html\n");
    const std::string host = "127.0.0.1:" + std::to_string(origin.Port());
    Curl({"http://" + host + "/x"});
    origin.Shutdown();  // a request that never came ends the origin's wait
    answering.join();
    EXPECT_EQ(Stop(), 0);
    const std::string file = ReadFile(dir / TodaysLogName(".err"));
    EXPECT_EQ(file.find('\r'), file.size() - 2) << file;  // only the CR LF that ends the one line
    EXPECT_EQ(LogMessages(dir.path(), ".err"),
              std::vector<std::string>{host + "/x: HTTP/1.0 500 Bad Fake: line > notfound.html"});
}

}  // namespace
}  // namespace kiosk::testing
