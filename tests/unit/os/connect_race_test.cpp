// The connect over several addresses, against loopback listeners on ::1 and 127.0.0.1: one that
// answers, one that refuses (nothing listens) and one that never answers (SilentListener).

#include "os/connect_race.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <iostream>
#include <thread>

#include "os/tcp_socket.h"
#include "tests/support/loopback_peers.h"

namespace kiosk::testing {
namespace {

using Clock = std::chrono::steady_clock;

SocketAddress At(const std::string& host, int port) {
    return AddressLiteral(host, port).value();
}

int PeerFamily(const TcpSocket& socket) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    ::getpeername(static_cast<int>(socket.Handle()), reinterpret_cast<sockaddr*>(&peer), &length);
    return peer.ss_family;
}

class ConnectRace : public ::testing::Test {
protected:
    void SetUp() override {
        if (!IPv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 loopback (::1) here";
    }

    // The connected socket, the addresses tried in connection order within limit.
    TcpSocket Connect(const std::vector<SocketAddress>& addresses, Milliseconds limit = 30s) {
        return TcpSocket(ConnectFirstAnswering(ConnectionOrder(addresses), pending, Clock::now() + limit));
    }
    // The failure of such a connect; "(connected)" when it connected.
    std::string Failure(const std::vector<SocketAddress>& addresses, Milliseconds limit) {
        try {
            Connect(addresses, limit);
            return "(connected)";
        } catch (const std::exception& failure) {
            return failure.what();
        }
    }

    PendingConnects pending;
};

TEST_F(ConnectRace, IPv6IsTriedFirstAndWinsWhenItAnswers) {
    TcpListener v6("::1", 0, 4);
    TcpListener v4("127.0.0.1", v6.Port(), 4);
    const TcpSocket socket = Connect({At("127.0.0.1", v6.Port()), At("::1", v6.Port())});
    EXPECT_EQ(PeerFamily(socket), AF_INET6);
}

TEST_F(ConnectRace, AnAddressThatRefusesOrNeverAnswersGivesWayToTheNext) {
    TcpListener v4("127.0.0.1", 0, 4);
    const std::vector<SocketAddress> both = {At("::1", v4.Port()), At("127.0.0.1", v4.Port())};
    EXPECT_EQ(PeerFamily(Connect(both)), AF_INET);  // nothing on ::1: refused

    const SilentListener silent("::1", v4.Port());
    const size_t descriptors = OpenDescriptors();
    const auto start = Clock::now();
    const TcpSocket socket = Connect(both);
    const auto took = Clock::now() - start;
    EXPECT_EQ(PeerFamily(socket), AF_INET);
    EXPECT_LT(took, 5s) << "the whole connect limit was waited";
    EXPECT_EQ(OpenDescriptors(), descriptors + 1) << "the unanswered attempt is still open";
    std::cout << "connected over IPv4 after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
              << " ms of an unanswered IPv6 attempt\n";
}

TEST_F(ConnectRace, WhenEveryAddressFailsTheLastAddressTellsWhy) {
    const int closed = FreePort();
    EXPECT_EQ(Failure({At("::1", closed), At("127.0.0.1", closed)}, 30s),
              "Socket Error # 111\r\nConnection refused.");
    // The last address, IPv4, refuses; the first never answers.
    const SilentListener silent6("::1", 0);
    EXPECT_EQ(Failure({At("::1", silent6.Port()), At("127.0.0.1", silent6.Port())}, 1s),
              "Socket Error # 111\r\nConnection refused.");
    // The last address never answers; the first refuses.
    const SilentListener silent4("127.0.0.1", 0);
    EXPECT_EQ(Failure({At("::1", silent4.Port()), At("127.0.0.1", silent4.Port())}, 1s),
              "Connect timed out.");
}

TEST_F(ConnectRace, AnAbortFromAnotherThreadEndsEveryAttemptAtOnce) {
    const SilentListener silent6("::1", 0);
    const SilentListener silent4("127.0.0.1", silent6.Port());
    const size_t descriptors = OpenDescriptors();
    std::thread aborter([&] {
        std::this_thread::sleep_for(3 * kConnectionAttemptDelay);  // both attempts are waiting by then
        pending.Abort();
    });
    const auto start = Clock::now();
    try {
        Connect({At("::1", silent6.Port()), At("127.0.0.1", silent6.Port())});
        ADD_FAILURE() << "connected to listeners that answer nothing";
    } catch (const SocketError& error) {
        EXPECT_EQ(error.Code(), ECONNABORTED);
    }
    EXPECT_LT(Clock::now() - start, 5s) << "the connect waited for its limit";
    aborter.join();
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_THROW(pending.Open(AF_INET), SocketError);  // nothing starts after an abort
}

}  // namespace
}  // namespace kiosk::testing
