#include "os/tcp_socket.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <thread>

#include "tests/support/loopback_peers.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::OpenDescriptors;

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

bool NagleOff(const TcpSocket& socket) {
    int on = 0;
    socklen_t length = sizeof on;
    ::getsockopt(static_cast<int>(socket.Handle()), IPPROTO_TCP, TCP_NODELAY, &on, &length);
    return on != 0;
}

// Small writes in a row (a head, then a body) must not wait for the peer's acknowledgement.
TEST(TcpSocket, ConnectedAndAcceptedSocketsSendWithoutNaglesDelay) {
    Pair pair;
    EXPECT_TRUE(NagleOff(pair.client));
    EXPECT_TRUE(NagleOff(pair.server));
}

TEST(TcpSocket, ReceiveIfArrivedTakesWhatIsThereAndNeverWaits) {
    Pair pair;
    char buffer[16];
    EXPECT_FALSE(pair.server.ReceiveIfArrived(buffer, sizeof buffer, kWaitForever).has_value());
    pair.client.Send("abc");
    ASSERT_TRUE(pair.server.WaitReadable(5s));
    EXPECT_EQ(pair.server.ReceiveIfArrived(buffer, sizeof buffer, kWaitForever), 3u);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    pair.client.Close();
    ASSERT_TRUE(pair.server.WaitReadable(5s));
    EXPECT_EQ(pair.server.ReceiveIfArrived(buffer, sizeof buffer, kWaitForever), 0u);
    pair.server.Close();
    EXPECT_THROW(pair.server.ReceiveIfArrived(buffer, sizeof buffer, kWaitForever),
                 ConnectionClosedGracefully);
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

TEST(TcpSocket, ShutdownFromAnotherThreadEndsAConnectThatGetsNoAnswer) {
    testing::SilentListener silent("127.0.0.1", 0);
    TcpSocket socket;
    std::thread stopper([&] {
        std::this_thread::sleep_for(300ms);
        socket.Shutdown();
    });
    const auto start = std::chrono::steady_clock::now();
    try {
        socket.Connect("127.0.0.1", silent.Port(), 30s);
        ADD_FAILURE() << "connected to a listener that answers nothing";
    } catch (const SocketError& error) {
        EXPECT_EQ(error.Code(), ECONNABORTED);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the connect waited for its limit";
    stopper.join();
    EXPECT_FALSE(socket.IsOpen());
}

// Bytes moved between sockets go through a pipe of the thread's own, which it keeps for the next
// move until it releases it.
TEST(TcpSocket, BytesMovedBetweenSocketsArriveWholeAndTheThreadsPipeCanBeReleased) {
    Pair from;
    Pair to;
    ReleaseMovePipe();
    const size_t before = OpenDescriptors();
    from.client.Send("moved bytes");
    EXPECT_EQ(from.server.MoveTo(to.server, 100, 5s), 11u);
    EXPECT_EQ(ReceiveExactly(to.client, 11, 5s), "moved bytes");
    EXPECT_EQ(OpenDescriptors(), before + 2);
    ReleaseMovePipe();
    EXPECT_EQ(OpenDescriptors(), before);
    from.client.Send("again");  // a new pipe is made
    EXPECT_EQ(from.server.MoveTo(to.server, 100, 5s), 5u);
    EXPECT_EQ(ReceiveExactly(to.client, 5, 5s), "again");
    ReleaseMovePipe();
}

// A move keeps taking what arrives while it sends, through a pipe smaller than the move, to a reader
// slower than the writer: every byte arrives in order, and not one byte past the limit is taken.
TEST(TcpSocket, ALargeMoveStopsAtItsLimitAndKeepsTheOrder) {
    Pair from;
    Pair to;
    std::string stream(6 * 1024 * 1024, '\0');
    for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<char>((i * 7919) >> 8);
    const size_t limit = 4 * 1024 * 1024 + 1;
    std::thread writer([&] {
        try {
            from.client.Send(stream);
        } catch (const std::exception&) {
            // the rest past the limit is refused when the test closes its end
        }
    });
    std::string arrived;
    std::thread reader([&] {
        char buffer[4096];
        while (arrived.size() < limit) {
            const size_t got = to.client.Receive(buffer, std::min(sizeof buffer, limit - arrived.size()), 5s);
            if (got == 0) break;
            arrived.append(buffer, got);
            if (arrived.size() % (256 * 1024) < sizeof buffer) std::this_thread::sleep_for(1ms);
        }
    });
    size_t moved = 0;
    while (moved < limit) {
        const std::optional<size_t> piece = from.server.MoveTo(to.server, limit - moved, 5s);
        ASSERT_TRUE(piece && *piece > 0);
        moved += *piece;
    }
    reader.join();
    EXPECT_EQ(moved, limit);
    EXPECT_TRUE(arrived == stream.substr(0, limit)) << "the moved bytes differ";
    EXPECT_EQ(ReceiveExactly(from.server, 1, 5s), stream.substr(limit, 1));
    from.server.Close();  // the writer's rest is not wanted
    writer.join();
    ReleaseMovePipe();
}

TEST(TcpListener, ConnectionsQueuedBeforeAcceptAreTakenOneByOne) {
    TcpListener listener("127.0.0.1", 0, 4);
    std::vector<TcpSocket> clients(3);
    for (size_t i = 0; i < clients.size(); ++i) {
        clients[i].Connect("127.0.0.1", listener.Port(), 5s);
        clients[i].Send(std::to_string(i));
    }
    for (size_t i = 0; i < clients.size(); ++i) {
        std::optional<TcpSocket> accepted = listener.Accept();
        ASSERT_TRUE(accepted && accepted->IsOpen());
        EXPECT_EQ(ReceiveExactly(*accepted, 1, 5s), std::to_string(i));
    }
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
