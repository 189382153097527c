#include <gtest/gtest.h>

#include <sys/socket.h>
#include <atomic>

#include "tests/support/recording_proxy.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackOrigin;
using testing::RecordingProxy;

const std::string kEstablished =
    "HTTP/1.0 200 Connection established\r\nProxy-agent: Kiosk-Proxy/1.1\r\n\r\n";

// Greets first, then echoes every byte.
void GreetAndEcho(TcpSocket& socket) {
    socket.Send("greeting");
    char piece[4096];
    while (const size_t got = socket.Receive(piece, sizeof piece, kWaitForever)) {
        socket.Send(std::string_view(piece, got));
    }
}

std::string ConnectLine(int port) {
    return "CONNECT 127.0.0.1:" + std::to_string(port) +
           " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n\r\n";
}

TEST(TunnelExchange, ConfirmsThenRelaysBothWaysAsSoonAsBytesArrive) {
    LoopbackOrigin echo(GreetAndEcho);
    RecordingProxy proxy;
    TcpSocket browser = proxy.Connect();
    browser.Send(ConnectLine(echo.Port()) + "early");  // sent before the confirmation
    EXPECT_EQ(ReceiveExactly(browser, kEstablished.size(), 5s), kEstablished);
    // The server speaks first while the browser is silent.
    EXPECT_EQ(ReceiveExactly(browser, 8, 5s), "greeting");
    EXPECT_EQ(ReceiveExactly(browser, 5, 5s), "early");

    // Each direction is forwarded at once: no side waits for the other's turn.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        browser.Send("ping");
        ASSERT_EQ(ReceiveExactly(browser, 4, 5s), "ping");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    const std::string large(300000, 'L');
    browser.Send(large);
    EXPECT_EQ(ReceiveExactly(browser, large.size(), 5s), large);
    browser.Close();
    EXPECT_TRUE(proxy.ThreadsEnd());
    EXPECT_EQ(proxy.events.Events().front(), "before 127.0.0.1:" + std::to_string(echo.Port()));
    EXPECT_EQ(proxy.events.Count("server "), 0);  // tunnelled bytes never reach the document hook
}

TEST(TunnelExchange, EitherSidesCloseEndsTheTunnelQuietly) {
    // A tunnel's normal end is a close: it is no failure to log and mail.
    LoopbackOrigin once([](TcpSocket& socket) { socket.Send("bye"); });
    RecordingProxy proxy;
    EXPECT_EQ(proxy.Exchange(ConnectLine(once.Port())), kEstablished + "bye");
    EXPECT_TRUE(proxy.ThreadsEnd());
    EXPECT_EQ(proxy.Failures(), std::vector<std::string>{});

    LoopbackOrigin silent([](TcpSocket& socket) { testing::ReadUntilClosed(socket); });
    for (int i = 0; i < 5; ++i) {
        TcpSocket browser = proxy.Connect();
        browser.Send(ConnectLine(silent.Port()));
        EXPECT_EQ(ReceiveExactly(browser, kEstablished.size(), 5s), kEstablished);
        browser.Close();
    }
    EXPECT_TRUE(proxy.ThreadsEnd());
    EXPECT_EQ(proxy.Failures(), std::vector<std::string>{});
}

TEST(TunnelExchange, AResetEndsTheTunnelAsAFailure) {
    // The origin resets once the tunnel stands: a reset that comes before the proxy's connect has
    // seen its answer is a failed connect instead, with no confirmation for the browser.
    std::atomic<bool> established = false;
    LoopbackOrigin resetting([&established](TcpSocket& socket) {
        testing::WaitUntil([&] { return established.load(); }, std::chrono::seconds(10));
        socket.Send("bye");
        // Closing with the lingering time 0 resets the connection instead of closing it in order.
        const linger reset{1, 0};
        ::setsockopt(static_cast<int>(socket.Handle()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        socket.Close();
    });
    RecordingProxy proxy;
    TcpSocket browser = proxy.Connect();
    browser.Send(ConnectLine(resetting.Port()));
    EXPECT_EQ(ReceiveExactly(browser, kEstablished.size(), std::chrono::seconds(10)), kEstablished);
    established = true;
    testing::ReadUntilClosed(browser);
    EXPECT_TRUE(proxy.ThreadsEnd());
    ASSERT_EQ(proxy.Failures().size(), 1u);
    EXPECT_NE(proxy.Failures()[0].find("Socket Error # 104"), std::string::npos) << proxy.Failures()[0];
}

TEST(TunnelExchange, AFailedConnectionGetsNoConfirmation) {
    RecordingProxy proxy;
    EXPECT_EQ(proxy.Exchange(ConnectLine(testing::FreePort())), "");
    EXPECT_EQ(proxy.Exchange("CONNECT :443 HTTP/1.1\r\n\r\n"), "");
    ASSERT_TRUE(proxy.ThreadsEnd());
    EXPECT_EQ(proxy.Failures(), (std::vector<std::string>{"failure Socket Error # 111\r\nConnection refused.",
                                                          "failure Request target without a host."}));
}

}  // namespace
}  // namespace kiosk
