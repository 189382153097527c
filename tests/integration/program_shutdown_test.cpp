// The built program stopped while its proxy's connection threads wait on peers that never answer, on
// a browser that never sends what it announced, and in a document script that never ends: the
// shutdown must still end within the proxy's wait for its threads (5 s) and leave the user's proxy
// setting as it was.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "os/tcp_socket.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// A peer that takes every connection and never sends a byte; it reads until the other side closes.
class SilentPeer {
public:
    int Port() const { return peer_.Port(); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
    bool Reached(int connections) const {
        return WaitUntil([&] { return peer_.Accepted() >= connections; }, 20s);
    }

private:
    LoopbackOrigin peer_{[](TcpSocket& socket) { ReadUntilClosed(socket, kWaitForever); }};
};

class ProgramShutdown : public KioskRun {
protected:
    // Sends the start of a browser's request on a connection of its own, kept open until the test ends.
    void Send(const std::string& bytes) {
        browsers_.push_back(ConnectTo(proxyPort));
        browsers_.back().Send(bytes);
    }

    // SIGTERM ends the program with status 0 well within twice the proxy's wait for its threads, and
    // the shutdown has run to its end.
    void ExpectBoundedShutdown() {
        child->Signal(SIGTERM);
        const std::optional<int> status = child->WaitForExit(10s);
        ASSERT_TRUE(status.has_value()) << "still running 10 s after SIGTERM:\n"
                                        << StuckThreads() << ReadFile(Output());
        EXPECT_EQ(*status, 0);
        const std::vector<std::string> messages = LogMessages(dir.path(), ".log");
        EXPECT_NE(std::find(messages.begin(), messages.end(), "Завершение работы"), messages.end());
        EXPECT_EQ(ReadFile(config / "kiosk-shell" / "user-settings"), kNewUsersProxySetting);
    }

private:
    std::vector<TcpSocket> browsers_;
};

TEST_F(ProgramShutdown, EndsWhileThreadsWaitForSilentPeersAnEndlessScriptAndAnUnsentBody) {
    SilentPeer origin;
    SilentPeer tunnelTarget;
    SilentPeer formOrigin;
    AnsweringOrigin loopingPage("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>page</p>");
    const std::string looping = "127.0.0.1:" + std::to_string(loopingPage.origin.Port());
    StartWith("[document]\nurl\n" + looping + "/loop.html\nlabel\nagain\ngoto\nagain\n");

    Send("GET http://" + origin.Address() + "/page HTTP/1.1\r\nHost: " + origin.Address() + "\r\n\r\n");
    Send("CONNECT " + tunnelTarget.Address() + " HTTP/1.1\r\nHost: " + tunnelTarget.Address() + "\r\n\r\n");
    // The proxy connects to the origin before it reads the body, which never comes in full.
    Send("POST http://" + formOrigin.Address() + "/form HTTP/1.1\r\nHost: " + formOrigin.Address() +
         "\r\nContent-Length: 100000\r\n\r\nfirst=part");
    ASSERT_TRUE(origin.Reached(1));
    ASSERT_TRUE(tunnelTarget.Reached(1));
    ASSERT_TRUE(formOrigin.Reached(1));
    // The script starts as soon as the page has arrived; the program is told to stop right then.
    Send("GET http://" + looping + "/loop.html HTTP/1.1\r\nHost: " + looping + "\r\n\r\n");
    ASSERT_TRUE(WaitUntil([&] { return loopingPage.Requests().size() == 1; }, 20s));

    ExpectBoundedShutdown();
}

// Every outbound connection goes through the upstream proxy of the options, which takes the
// connections and never answers: a page and a CONNECT wait in its handshake or for its answer.
class ProgramShutdownUpstream : public ProgramShutdown, public ::testing::WithParamInterface<std::string> {};

TEST_P(ProgramShutdownUpstream, EndsWhileThreadsWaitForASilentUpstreamProxy) {
    SilentPeer upstream;
    StartWith("proxy\n" + GetParam() + "\nhost\n127.0.0.1\nport\n" + std::to_string(upstream.Port()) + "\n");

    Send("GET http://127.0.0.1:9/page HTTP/1.1\r\nHost: 127.0.0.1:9\r\n\r\n");
    Send("CONNECT 127.0.0.1:9 HTTP/1.1\r\nHost: 127.0.0.1:9\r\n\r\n");
    ASSERT_TRUE(upstream.Reached(2));

    ExpectBoundedShutdown();
}

INSTANTIATE_TEST_SUITE_P(Routes, ProgramShutdownUpstream, ::testing::Values("http", "socks4", "socks5"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace kiosk::testing
