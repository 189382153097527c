// The HTTPS origins of the proxy's tests, checked with clients that need no proxy: curl, and python3's
// ssl module for the WebSocket path.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_ca.h"
#include "tests/support/tls_origin.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

struct TlsOrigins : ::testing::Test {
    TempDir dir;
    TestCa ca;

    // Runs program until it ends; returns its exit status, its output in "output".
    int Run(const std::string& program, const std::vector<std::string>& arguments) {
        ChildProcess process(program, arguments, dir.str(), (dir / "output").string());
        return process.WaitForExit(20s).value_or(-1);
    }
    // curl trusting the test CA; bodies go to the files "body1", "body2", ... in the order of the URLs,
    // the answers' heads to "head".
    int Curl(std::vector<std::string> arguments) {
        std::vector<std::string> all{"-sS",      "-g",        "--max-time", "10",
                                     "--cacert", ca.CaFile(), "-D",         (dir / "head").string()};
        int bodies = 0;
        for (const auto& argument : arguments) {
            if (argument.starts_with("https://")) {
                all.insert(all.end(), {"-o", (dir / ("body" + std::to_string(++bodies))).string()});
            }
        }
        all.insert(all.end(), arguments.begin(), arguments.end());
        return Run("/usr/bin/curl", all);
    }
    std::string Output() { return ReadFile(dir / "output"); }
    std::string Head() { return ReadFile(dir / "head"); }
    std::string Body(int n = 1) { return ReadFile(dir / ("body" + std::to_string(n))); }
};

bool CanListenOnIpv6Loopback() {
    const int probe = ::socket(AF_INET6, SOCK_STREAM, 0);
    if (probe < 0) return false;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound = ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return bound;
}

TEST_F(TlsOrigins, ServeTheirFilesToClientsThatTrustTheTestCa) {
    TlsOrigin origin(ca.Issue({"origin.test", "127.0.0.1"}));
    std::string bytes = "<html><body>secure page</body></html>\n";
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    origin.Put("page.html", bytes);

    ASSERT_EQ(Curl({origin.Url("/page.html")}), 0) << Output();
    EXPECT_EQ(Body(), bytes);
    EXPECT_TRUE(Head().starts_with("HTTP/1.1 200")) << Head();
    // The same certificate by its DNS name.
    const std::string port = std::to_string(origin.Port());
    ASSERT_EQ(Curl({"--resolve", "origin.test:" + port + ":127.0.0.1",
                    "https://origin.test:" + port + "/page.html"}),
              0)
        << Output();
    EXPECT_EQ(Body(), bytes);
    EXPECT_EQ(origin.RequestsFor("/page.html"), 2);
    EXPECT_EQ(origin.Requests(), (std::vector<std::string>{"GET /page.html", "GET /page.html"}));
    EXPECT_EQ(origin.RequestsFor("/page", true), 2);
    EXPECT_EQ(origin.RequestsFor("/page"), 0);
}

TEST_F(TlsOrigins, ListenOnOtherLoopbackAddresses) {
    TlsOrigin second(ca.Issue({"127.0.0.2"}), "127.0.0.2");
    second.Put("a.txt", "second");
    EXPECT_EQ(second.Address(), "127.0.0.2");
    EXPECT_EQ(second.Url("/a.txt"), "https://127.0.0.2:" + std::to_string(second.Port()) + "/a.txt");
    ASSERT_EQ(Curl({second.Url("/a.txt")}), 0) << Output();
    EXPECT_EQ(Body(), "second");

    if (!CanListenOnIpv6Loopback()) GTEST_SKIP() << "no IPv6 loopback here";
    TlsOrigin v6(ca.Issue({"::1"}), "::1");
    v6.Put("a.txt", "six");
    EXPECT_EQ(v6.Url("/a.txt"), "https://[::1]:" + std::to_string(v6.Port()) + "/a.txt");
    ASSERT_EQ(Curl({v6.Url("/a.txt")}), 0) << Output();
    EXPECT_EQ(Body(), "six");
}

// Each refusal must be for the fault the certificate was made with, and the origin must go on serving
// after a client broke off. curl refuses a bad chain within the handshake, but a wrong name only after
// it: that handshake completes and counts.
TEST_F(TlsOrigins, ClientsRefuseCertificatesThatAreNotValidForThem) {
    struct Case {
        TestCa::ServerCertificate certificate;
        std::string reason;
        int handshakesWhenRefused;
    };
    const std::vector<Case> cases{
        {ca.Issue({"127.0.0.1"}, IssueKind::SelfSigned), "self-signed certificate", 0},
        {ca.Issue({"127.0.0.1"}, IssueKind::Expired), "certificate has expired", 0},
        {ca.Issue({"other.example"}), "no alternative certificate subject name matches", 1},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.reason);
        TlsOrigin origin(each.certificate);
        origin.Put("a.txt", "refused");
        const int refused = Curl({origin.Url("/a.txt")});
        EXPECT_TRUE(refused == 60 || refused == 51) << refused;
        EXPECT_NE(Output().find(each.reason), std::string::npos) << Output();
        // The origin records a handshake on its own thread, maybe after curl has already ended.
        EXPECT_TRUE(WaitUntil([&] { return origin.Handshakes() == each.handshakesWhenRefused; }, 2s))
            << origin.Handshakes();
        EXPECT_TRUE(origin.Requests().empty());

        ASSERT_EQ(Curl({"--insecure", origin.Url("/a.txt")}), 0) << Output();
        EXPECT_EQ(Body(), "refused");
        EXPECT_EQ(origin.Handshakes(), each.handshakesWhenRefused + 1);
        EXPECT_EQ(origin.Requests(), std::vector<std::string>{"GET /a.txt"});
    }
}

TEST_F(TlsOrigins, SayWhyTheyDidNotStart) {
    try {
        TlsOrigin origin({(dir / "missing.pem").string(), (dir / "missing.key").string()});
        ADD_FAILURE() << "started without a certificate";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos) << error.what();
    }
}

TEST_F(TlsOrigins, IssueRefusesHostsThatAreNoNamesOrAddresses) {
    EXPECT_THROW(ca.Issue({}), std::invalid_argument);
    EXPECT_THROW(ca.Issue({"good.example", "two words"}), std::invalid_argument);
    EXPECT_THROW(ca.Issue({"a.example\nsubjectAltName = DNS:b.example"}), std::invalid_argument);
    EXPECT_THROW(ca.Issue({"[::1]"}), std::invalid_argument);
}

TEST_F(TlsOrigins, KeepTheConnectionWhenTheClientAsks) {
    TlsOrigin origin(ca.Issue({"127.0.0.1"}));
    origin.Put("a.txt", "first");
    // Answers without a body and error pages must leave the connection usable as well.
    ASSERT_EQ(Curl({origin.Url("/a.txt"), origin.Url("/status/204"), origin.Url("/status/404"),
                    origin.Url("/a.txt?again")}),
              0)
        << Output();
    EXPECT_EQ(Body(1), "first");
    EXPECT_EQ(Body(3), "<html><body>status 404</body></html>");
    EXPECT_EQ(Body(4), "first");
    EXPECT_EQ(origin.Handshakes(), 1);
    EXPECT_EQ(origin.Requests(), (std::vector<std::string>{"GET /a.txt", "GET /status/204", "GET /status/404",
                                                           "GET /a.txt?again"}));

    ASSERT_EQ(Curl({origin.Url("/a.txt")}), 0) << Output();
    EXPECT_EQ(origin.Handshakes(), 2);
}

TEST_F(TlsOrigins, AnswerStatusPathsWithThatStatusAndAPage) {
    TlsOrigin origin(ca.Issue({"127.0.0.1"}));
    ASSERT_EQ(Curl({origin.Url("/status/404")}), 0) << Output();
    EXPECT_TRUE(Head().starts_with("HTTP/1.1 404")) << Head();
    EXPECT_NE(Head().find("Content-Length: 36\r\n"), std::string::npos) << Head();
    EXPECT_EQ(Body(), "<html><body>status 404</body></html>");

    ASSERT_EQ(Curl({origin.Url("/status/503")}), 0) << Output();
    EXPECT_TRUE(Head().starts_with("HTTP/1.1 503")) << Head();
    EXPECT_EQ(Body(), "<html><body>status 503</body></html>");

    ASSERT_EQ(Curl({origin.Url("/status/abc")}), 0) << Output();
    EXPECT_TRUE(Head().starts_with("HTTP/1.1 400")) << Head();
}

TEST_F(TlsOrigins, EchoTheRequestHeadTheyReceived) {
    TlsOrigin origin(ca.Issue({"127.0.0.1"}));
    ASSERT_EQ(Curl({"-H", "X-Kiosk-Probe: one two", origin.Url("/echo-headers?x=1")}), 0) << Output();
    EXPECT_NE(Head().find("Content-Type: text/plain\r\n"), std::string::npos) << Head();
    const std::string body = Body();
    EXPECT_TRUE(body.starts_with(
        "GET /echo-headers?x=1 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(origin.Port()) + "\r\n"))
        << body;
    EXPECT_NE(body.find("\r\nX-Kiosk-Probe: one two\r\n"), std::string::npos) << body;
    EXPECT_TRUE(body.ends_with("\r\n\r\n")) << body;
    EXPECT_EQ(origin.RequestsFor("/echo-headers?x=1"), 1);
}

TEST_F(TlsOrigins, EchoWebSocketMessagesUntilTheClientCloses) {
    TlsOrigin origin(ca.Issue({"127.0.0.1"}));
    ASSERT_EQ(Run("/usr/bin/python3",
                  {WebSocketClientScript(), ca.CaFile(), "127.0.0.1", std::to_string(origin.Port())}),
              0)
        << Output();
    EXPECT_EQ(Output(), WebSocketEchoTranscript());
    EXPECT_EQ(origin.Requests(), std::vector<std::string>{"GET /websocket"});
}

}  // namespace
}  // namespace kiosk::testing
