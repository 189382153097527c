// HTTPS inspection between real programs: curl, openssl s_client and a python3 WebSocket client as the
// browser, python3's ssl origins with certificates of a throwaway CA (given as the origins' CA file),
// microsocks as an upstream SOCKS 5 proxy.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/recording_proxy.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_ca.h"
#include "tests/support/test_peers.h"
#include "tests/support/tls_origin.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// curl is the browser here and trusts the terminal's CA by its file.
struct TrustEveryLeaf : LeafTrust {
    bool Trust(const std::shared_ptr<const LeafCertificate>&, const std::function<bool()>&) override {
        return true;
    }
};

const std::string kPage = "<html><body>Kiosk page</body></html>\n";

class HttpsInspectionTest : public ::testing::Test {
protected:
    // A proxy whose "https" option is https, with the test CA for origins.
    std::unique_ptr<RecordingProxy> StartProxy(const std::string& https,
                                               const DocumentScriptList& scripts = {}) {
        const HttpsInspectionSettings settings{https, (dir / "ca").string(), testCa.CaFile()};
        return std::make_unique<RecordingProxy>(std::make_shared<HttpsInspection>(settings, scripts, trust));
    }
    std::string TerminalCaFile() const { return (dir / "ca" / "ca.crt").string(); }

    // Runs program to its end (at most 60 s); returns its exit status. Its output goes to Output().
    int Run(const std::string& program, const std::vector<std::string>& arguments) {
        ChildProcess child(program, arguments, dir.str(), (dir / "out").string(), {}, (dir / "err").string());
        return child.WaitForExit(60s).value_or(-1);
    }
    std::string Output() const { return ReadFile(dir / "out"); }
    std::string Errors() const { return ReadFile(dir / "err"); }

    // curl through the proxy, trusting caFile; the body goes to Output().
    int Curl(const RecordingProxy& proxy, const std::string& caFile, std::vector<std::string> arguments) {
        std::vector<std::string> all{
            "-s",         "-S",
            "--max-time", "20",
            "--cacert",   caFile,
            "-x",         "http://127.0.0.1:" + std::to_string(proxy.server.ListeningPort())};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return Run("/usr/bin/curl", all);
    }

    TempDir dir;
    TestCa testCa;
    TrustEveryLeaf trust;
};

TEST_F(HttpsInspectionTest, PagesAreRewrittenAndFollowOneAnotherOnOneConnection) {
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("index.html", kPage);
    auto proxy = StartProxy("all");
    proxy->SetRewrite([](ProxyConnection& context, std::string& body) {
        if (context.TransferSide != ExchangeSide::FromServer) return;
        EXPECT_TRUE(context.Inspected);
        const size_t at = body.find("Kiosk");
        if (at != std::string::npos) body.replace(at, 5, "Rewritten");
    });
    const std::string url = "https://localhost:" + std::to_string(origin.Port()) + "/index.html";
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), {url, url, "-w", "[%{num_connects}]"}), 0) << Errors();
    const std::string rewritten = "<html><body>Rewritten page</body></html>\n";
    // The second transfer reused the browser's connection, and the proxy the origin's.
    EXPECT_EQ(Output(), rewritten + "[1]" + rewritten + "[0]");
    EXPECT_EQ(origin.Handshakes(), 1);
    EXPECT_EQ(origin.RequestsFor("/index.html"), 2);
    EXPECT_EQ(proxy->events.Count("before localhost:" + std::to_string(origin.Port())), 3);  // CONNECT + 2
    EXPECT_TRUE(proxy->Failures().empty()) << proxy->Failures().front();
    EXPECT_TRUE(proxy->ThreadsEnd());
}

TEST_F(HttpsInspectionTest, AnswersCarryTheirTrueLengthAndHeadAndErrorsWork) {
    TlsOrigin origin(testCa.Issue({"127.0.0.1"}));
    std::string big;
    for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i * 7919 % 1000003) + ",";
    origin.Put("big.txt", big);
    auto proxy = StartProxy("all");
    proxy->SetRewrite([](ProxyConnection& context, std::string& body) {
        if (context.TransferSide == ExchangeSide::FromServer && body.size() > 1000) body += "tail";
    });
    const std::string base = "https://127.0.0.1:" + std::to_string(origin.Port());
    ASSERT_EQ(
        Curl(*proxy, TerminalCaFile(), {base + "/big.txt", base + "/status/404", "-I", base + "/big.txt"}), 0)
        << Errors();
    // curl -I applies to every URL: two HEADs and the 404's head; the grown body announced its length.
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), {base + "/big.txt", "-D", (dir / "head").string()}), 0);
    EXPECT_EQ(Output(), big + "tail");
    EXPECT_NE(ReadFile(dir / "head").find("Content-Length: " + std::to_string(big.size() + 4)),
              std::string::npos)
        << ReadFile(dir / "head");
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), {base + "/status/404", "-w", "%{http_code}"}), 0);
    EXPECT_EQ(Output(), "<html><body>status 404</body></html>404");
    // A request body passes as it arrives; the document hook sees only its head.
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), {"--data", "a=1&b=2", base + "/echo-body"}), 0);
    EXPECT_EQ(Output(), "a=1&b=2");
    EXPECT_EQ(proxy->events.Count("client "), 1);
    EXPECT_TRUE(proxy->Failures().empty()) << proxy->Failures().front();
}

// The browser's connection inside a decrypted CONNECT carries request after request: a body is read by
// its length, never as a request, and a head whose body cannot be framed gets an HTTP error.
TEST_F(HttpsInspectionTest, InsideADecryptedConnectABodyIsNeverReadAsARequest) {
    TlsOrigin origin(testCa.Issue({"127.0.0.1"}));
    auto proxy = StartProxy("all");
    const std::string url = "https://127.0.0.1:" + std::to_string(origin.Port()) + "/echo-body";
    const std::string inner = "GET /smuggled HTTP/1.1\r\nHost: forged\r\n\r\n";
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), {"-X", "PROPFIND", "--data-binary", inner, url}), 0) << Errors();
    EXPECT_EQ(Output(), inner);
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(),
                   {"-H", "Content-Length: 3", "-H", "Transfer-Encoding: chunked", "--data-binary", inner,
                    url, "-w", "%{http_code}"}),
              0);
    EXPECT_EQ(Output(), "400");
    EXPECT_EQ(origin.RequestsFor("/echo-body"), 1);
    EXPECT_EQ(origin.RequestsFor("/smuggled"), 0);
    EXPECT_TRUE(proxy->Failures().empty()) << proxy->Failures().front();
}

// An answer nobody filters passes as it arrives, even one whose end is the origin's close: the browser
// gets it in chunks of the proxy's own and keeps its connection.
TEST_F(HttpsInspectionTest, AnAnswerThatEndsWithTheOriginsCloseStreamsToTheBrowserInChunks) {
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("index.html", kPage);
    auto proxy = StartProxy("all");
    proxy->wantsDocuments = false;
    const std::string base = "https://localhost:" + std::to_string(origin.Port());
    ChildProcess curl(
        "/usr/bin/curl",
        {"-s", "-S", "-N", "--max-time", "30", "--cacert", TerminalCaFile(), "-x",
         "http://127.0.0.1:" + std::to_string(proxy->server.ListeningPort()), "-D", (dir / "head").string(),
         base + "/events", base + "/index.html", "-w", "[%{num_connects}]"},
        dir.str(), (dir / "out").string(), {}, (dir / "err").string());
    ASSERT_TRUE(WaitUntil([&] { return Output().find("event: first") != std::string::npos; }, 20s))
        << Errors();
    WriteFile(origin.Path("go"), "");
    ASSERT_EQ(curl.WaitForExit(60s), 0) << Errors();
    EXPECT_EQ(Output(), "event: first\n\nevent: second\n\n[1]" + kPage + "[0]");
    const std::string head = ReadFile(dir / "head");
    EXPECT_NE(head.find("Transfer-Encoding: chunked"), std::string::npos) << head;
    EXPECT_TRUE(proxy->Failures().empty()) << proxy->Failures().front();
}

TEST_F(HttpsInspectionTest, HostsNotInspectedAreTunnelledWithTheOriginsOwnCertificate) {
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("index.html", kPage);
    auto proxy = StartProxy("");  // no script names the host
    const std::string url = "https://localhost:" + std::to_string(origin.Port()) + "/index.html";
    ASSERT_EQ(Curl(*proxy, testCa.CaFile(), {url}), 0) << Errors();
    EXPECT_EQ(Output(), kPage);
    EXPECT_EQ(Curl(*proxy, TerminalCaFile(), {url}), 60);  // the terminal's CA signed nothing here

    // A script naming the host makes it inspected.
    DocumentScriptList scripts;
    scripts.push_back(std::make_unique<DocumentScript>());
    scripts.back()->pattern = "localhost:" + std::to_string(origin.Port()) + "/index.html";
    auto scripted = StartProxy("", scripts);
    ASSERT_EQ(Curl(*scripted, TerminalCaFile(), {url}), 0) << Errors();
    EXPECT_EQ(Output(), kPage);
}

TEST_F(HttpsInspectionTest, TheLeafNamesTheHostAndIsSignedByTheTerminalsCa) {
    TlsOrigin origin(testCa.Issue({"localhost"}));
    auto proxy = StartProxy("all");
    const std::string command =
        "/usr/bin/openssl s_client -proxy 127.0.0.1:" + std::to_string(proxy->server.ListeningPort()) +
        " -connect localhost:" + std::to_string(origin.Port()) + " -servername localhost -CAfile " +
        TerminalCaFile() + " </dev/null 2>/dev/null | /usr/bin/openssl x509 -noout -ext " +
        "subjectAltName,extendedKeyUsage -issuer";
    ASSERT_EQ(Run("/bin/sh", {"-c", command}), 0) << Errors();
    EXPECT_NE(Output().find("DNS:localhost"), std::string::npos) << Output();
    EXPECT_NE(Output().find("TLS Web Server Authentication"), std::string::npos) << Output();
    EXPECT_EQ(Run("/bin/sh", {"-c", "/usr/bin/openssl x509 -noout -issuer -in " + TerminalCaFile()}), 0);
}

TEST_F(HttpsInspectionTest, OriginsThatFailVerificationNeverReachTheBrowser) {
    struct Case {
        TestCa::IssueKind kind;
        std::vector<std::string> names;
        std::string reason;
    };
    const Case cases[] = {
        {TestCa::IssueKind::SelfSigned, {"localhost"}, "self-signed certificate"},
        {TestCa::IssueKind::Valid, {"other.example"}, "hostname mismatch"},
        {TestCa::IssueKind::Expired, {"localhost"}, "certificate has expired"},
    };
    auto proxy = StartProxy("all");
    for (const Case& test : cases) {
        TlsOrigin origin(testCa.Issue(test.names, test.kind));
        origin.Put("index.html", kPage);
        proxy->events.Clear();
        const std::string hostPort = "localhost:" + std::to_string(origin.Port());
        EXPECT_NE(Curl(*proxy, TerminalCaFile(), {"https://" + hostPort + "/index.html"}), 0) << test.reason;
        EXPECT_EQ(Output(), "");
        EXPECT_EQ(origin.RequestsFor("/index.html"), 0);
        ASSERT_EQ(proxy->Failures().size(), 1u) << test.reason;
        const std::string failure = proxy->Failures().front();
        EXPECT_NE(failure.find(hostPort), std::string::npos) << failure;
        EXPECT_NE(failure.find(test.reason), std::string::npos) << failure;
    }
}

TEST_F(HttpsInspectionTest, ClientsThatSendGarbageOrVanishEndOnlyTheirOwnConnection) {
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("index.html", kPage);
    auto proxy = StartProxy("all");
    const std::string connect = "CONNECT localhost:" + std::to_string(origin.Port()) + " HTTP/1.1\r\n\r\n";
    {
        TcpSocket garbage = proxy->Connect();
        garbage.Send(connect + "this is no TLS at all\r\n\r\n");
        EXPECT_TRUE(ReadUntilClosed(garbage).starts_with("HTTP/1.0 200"));
    }
    {
        // The first bytes of a ClientHello, then nothing more.
        TcpSocket vanishing = proxy->Connect();
        vanishing.Send(connect + std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(proxy->ThreadsEnd());
    EXPECT_EQ(proxy->Failures().size(), 2u);
    const std::string url = "https://localhost:" + std::to_string(origin.Port()) + "/index.html";
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), {url}), 0) << Errors();
    EXPECT_EQ(Output(), kPage);
}

TEST_F(HttpsInspectionTest, TwoHundredInspectedConnectionsAtOnce) {
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("index.html", kPage);
    auto proxy = StartProxy("all");
    std::vector<std::string> arguments{"--parallel", "--parallel-immediate", "--parallel-max", "200"};
    const std::string url = "https://localhost:" + std::to_string(origin.Port()) + "/index.html";
    for (int i = 0; i < 200; ++i) arguments.push_back(url + "?n=" + std::to_string(i));
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(), arguments), 0) << Errors();
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += kPage;
    EXPECT_EQ(Output(), expected);
    EXPECT_EQ(origin.RequestsFor("/index.html?n=", true), 200);
    EXPECT_TRUE(proxy->Failures().empty()) << proxy->Failures().front();
}

TEST_F(HttpsInspectionTest, InspectionThroughMicrosocksAndAWebSocketInside) {
    const int socksPort = FreePort();
    ChildProcess microsocks("/usr/bin/microsocks", {"-i", "127.0.0.1", "-p", std::to_string(socksPort)},
                            dir.str(), (dir / "microsocks.out").string());
    ASSERT_TRUE(WaitUntil([&] { return AcceptsConnections(socksPort); }, 10s));
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("index.html", kPage);
    auto proxy = StartProxy("all");
    proxy->SetRoute(Socks(SocksVersion::Socks5, socksPort));
    ASSERT_EQ(Curl(*proxy, TerminalCaFile(),
                   {"https://localhost:" + std::to_string(origin.Port()) + "/index.html"}),
              0)
        << Errors();
    EXPECT_EQ(Output(), kPage);

    ASSERT_EQ(Run("/usr/bin/python3",
                  {WebSocketClientScript(), TerminalCaFile(), "localhost", std::to_string(origin.Port()),
                   std::to_string(proxy->server.ListeningPort())}),
              0)
        << Errors();
    EXPECT_EQ(Output(), "HTTP/1.0 200 Connection established\n" + WebSocketEchoTranscript());
    microsocks.Signal(SIGTERM);
}

}  // namespace
}  // namespace kiosk::testing
