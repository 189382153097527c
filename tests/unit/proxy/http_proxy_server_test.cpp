#include <gtest/gtest.h>

#include <thread>

#include "tests/support/recording_proxy.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackOrigin;
using testing::RecordingProxy;
using testing::Url;

// A loopback port whose accept queue is full: connecting to it neither succeeds nor fails.
struct FullQueue {
    TcpListener listener{"127.0.0.1", 0, 0};
    std::vector<TcpSocket> waiting;
    FullQueue() {
        for (int i = 0; i < 16; ++i) {
            TcpSocket socket;
            try {
                socket.Connect("127.0.0.1", listener.Port(), 200ms);
            } catch (const SocketTimeout&) {
                return;
            }
            waiting.push_back(std::move(socket));
        }
    }
};

// Deactivation with connections in every kind of wait: it ends them all within a few seconds, not
// after the connect or read time-outs of the outbound connections.
TEST(ProxyDeactivation, EndsEveryConnectionWhateverItWaitsFor) {
    LoopbackOrigin silent([](TcpSocket& socket) { testing::ReadUntilClosed(socket, kWaitForever); });
    LoopbackOrigin echo([](TcpSocket& socket) {
        char piece[256];
        while (const size_t got = socket.Receive(piece, sizeof piece, kWaitForever)) {
            socket.Send(std::string_view(piece, got));
        }
    });
    FullQueue full;
    RecordingProxy proxy;

    TcpSocket waitsForAnswer = proxy.Connect();
    waitsForAnswer.Send("GET " + Url(silent.Port(), "/") + " HTTP/1.1\r\n\r\n");
    TcpSocket waitsForConnect = proxy.Connect();
    waitsForConnect.Send("CONNECT 127.0.0.1:" + std::to_string(full.listener.Port()) + " HTTP/1.1\r\n\r\n");
    TcpSocket tunnel = proxy.Connect();
    tunnel.Send("CONNECT 127.0.0.1:" + std::to_string(echo.Port()) + " HTTP/1.1\r\n\r\n");
    testing::ReadMessage(tunnel);
    TcpSocket sendsNothing = proxy.Connect();
    ASSERT_TRUE(testing::WaitUntil([&] { return silent.Accepted() == 1; }, 5s));
    ASSERT_TRUE(testing::WaitUntil([&] { return proxy.events.Starting("before ").size() == 3; }, 5s));
    std::this_thread::sleep_for(200ms);  // until the last connection waits for its line

    const auto start = std::chrono::steady_clock::now();
    proxy.server.SetActive(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(proxy.server.Active());
    EXPECT_EQ(proxy.server.ConnectionThreads(), 0u);
    // The server closed them itself: no failure is reported (nor logged and mailed) for any of them.
    EXPECT_EQ(proxy.Failures(), std::vector<std::string>{});
    EXPECT_EQ(testing::ReadUntilClosed(waitsForAnswer), "");
    EXPECT_EQ(testing::ReadUntilClosed(waitsForConnect), "");
}

TEST(ProxyDeactivation, TheProxyCanBeActivatedAgainOnItsPort) {
    testing::AnsweringOrigin origin("HTTP/1.0 200 OK\r\n\r\nagain");
    RecordingProxy proxy;
    ProxyServerSettings settings;
    settings.DefaultPort = proxy.server.ListeningPort();
    proxy.server.SetActive(false);
    proxy.server.Configure(settings);
    proxy.server.SetActive(true);
    EXPECT_EQ(proxy.server.ListeningPort(), settings.DefaultPort);
    EXPECT_EQ(proxy.Exchange("GET " + Url(origin.origin.Port(), "/") + " HTTP/1.1\r\n\r\n"),
              "HTTP/1.0 200 OK\r\n\r\nagain");
}

}  // namespace
}  // namespace kiosk
