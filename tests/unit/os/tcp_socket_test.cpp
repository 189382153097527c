#include "os/tcp_socket.h"

#include <gtest/gtest.h>

#include <thread>

namespace kiosk {
namespace {

using namespace std::chrono_literals;

struct Pair {
    TcpListener listener{"127.0.0.1", 0, 4};
    TcpSocket client;
    TcpSocket server;
    Pair() {
        client.Connect("127.0.0.1", listener.Port(), 5s);
        server = std::move(*listener.Accept());
    }
};

TEST(TcpSocket, BytesTravelBothWaysAndACloseReadsAsZero) {
    Pair pair;
    pair.client.Send("hello");
    EXPECT_EQ(ReceiveExactly(pair.server, 5, 5s), "hello");
    pair.server.Send(std::string(100000, 'x'));
    EXPECT_EQ(ReceiveExactly(pair.client, 100000, 5s).size(), 100000u);
    pair.server.Close();
    char byte;
    EXPECT_EQ(pair.client.Receive(&byte, 1, 5s), 0u);
    EXPECT_THROW(ReceiveExactly(pair.client, 1, 5s), ConnectionClosedGracefully);
}

TEST(TcpSocket, ASendToAPeerThatTakesNothingEndsAfterItsLimit) {
    Pair pair;
    pair.client.SetSendTimeLimit(200ms);
    try {
        for (int i = 0; i < 1000; ++i) pair.client.Send(std::string(1 << 20, 'x'));  // fills every buffer
        FAIL() << "a gigabyte went to a peer that reads nothing";
    } catch (const SocketTimeout& timeout) {
        EXPECT_STREQ(timeout.what(), "Write timed out.");
    }
}

TEST(TcpSocket, WaitsEndByTimeOrByShutdownFromAnotherThread) {
    Pair pair;
    char byte;
    try {
        pair.client.Receive(&byte, 1, 50ms);
        FAIL() << "no timeout";
    } catch (const SocketTimeout& timeout) {
        EXPECT_STREQ(timeout.what(), "Read timed out.");
    }
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        pair.client.Shutdown();
    });
    EXPECT_EQ(pair.client.Receive(&byte, 1, kWaitForever), 0u);
    stopper.join();
    EXPECT_EQ(WaitEitherReadable(pair.client, pair.server, 1s) & 1, 1);
}

TEST(TcpSocket, FailuresCarryTheirSocketErrorMessages) {
    int closedPort = 0;
    {
        TcpListener probe("127.0.0.1", 0, 1);
        closedPort = probe.Port();
    }
    TcpSocket socket;
    try {
        socket.Connect("127.0.0.1", closedPort, 5s);
        FAIL() << "connected to a closed port";
    } catch (const SocketError& error) {
        EXPECT_STREQ(error.what(), "Socket Error # 111\r\nConnection refused.");
    }
    try {
        socket.Connect("no-such-host.invalid", 80, 5s);
        FAIL() << "resolved an invalid name";
    } catch (const SocketError& error) {
        EXPECT_STREQ(error.what(), "Socket Error # 11001\r\nHost not found.");
    }
    TcpListener taken("127.0.0.1", 0, 1);
    EXPECT_THROW(TcpListener("127.0.0.1", taken.Port(), 1), SocketError);
}

TEST(TcpListener, ShutdownEndsAnAcceptOfAnotherThread) {
    TcpListener listener("127.0.0.1", 0, 1);
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        listener.Shutdown();
    });
    EXPECT_FALSE(listener.Accept().has_value());
    stopper.join();
}

}  // namespace
}  // namespace kiosk
