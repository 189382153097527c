#include "proxy/server/connection_server.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <set>
#include <thread>

#include "tests/support/child_process.h"
#include "tests/support/event_record.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::ConnectTo;
using testing::ReadUntilClosed;

// The threads of this process, as the system counts them: ended threads are gone from the count.
// ThreadSanitizer's runtime starts a thread of its own with the process's first one: a thread is run
// first, so that a test that runs alone does not count that one as the server's.
size_t ProcessThreads() {
    static const bool runtimeStarted = (std::thread([] {}).join(), true);
    (void)runtimeStarted;
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        size_t count = 0;
        if (key == "Threads:" && status >> count) return count;
    }
    return 0;
}

// Sends request to the IPv6 loopback address at port and returns the answer up to the close.
std::string AskOverIPv6(int port, const std::string& request) {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    TcpSocket socket(fd);  // closes the descriptor whatever happens
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(static_cast<uint16_t>(port));
    address.sin6_addr = in6addr_loopback;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return "(refused)";
    socket.Send(request);
    return ReadUntilClosed(socket);
}

ConnectionServerSettings EchoSettings(int listenQueue = 15, size_t mostConnections = 512) {
    return {.DefaultPort = 0,
            .ListenQueue = listenQueue,
            .TerminateWaitTime = 5000,
            .MostConnections = mostConnections};
}

// The first line's command: "ECHO" answers the rest of the line, "FAIL" throws, "WAIT" blocks
// reading, "THREAD" answers the id of the thread serving it.
void Serve(ConnectionContext& context) {
    const std::string line = context.Connection().ReadLine();
    const std::string command = line.substr(0, line.find(' '));
    if (command == "ECHO")
        context.Connection().Write("[" + line.substr(std::min<size_t>(line.size(), 5)) + "]\r\n");
    if (command == "FAIL") throw std::runtime_error("handler failed");
    if (command == "WAIT") context.Connection().ReadLine();
    // The system's thread id: unlike a pthread id it is not handed again to the next thread.
    if (command == "THREAD") context.Connection().Write(std::to_string(::gettid()));
}

// A server of those commands.
struct EchoServer {
    testing::EventRecord events;
    ConnectionServer server{
        [](TcpSocket socket) { return std::make_unique<ConnectionContext>(std::move(socket)); }};

    // A test that opens hundreds of connections at once needs a longer queue than 15, or the system
    // drops connection attempts for a second whenever the queue is full.
    explicit EchoServer(int listenQueue = 15, size_t mostConnections = 512)
        : EchoServer(EchoSettings(listenQueue, mostConnections)) {}
    explicit EchoServer(const ConnectionServerSettings& settings) {
        server.Configure(settings);
        server.SetConnectionHandler([](ConnectionContext& context) { Serve(context); });
        server.SetOnException([this](ConnectionContext&, const std::string& failure) {
            events.Add(failure);
            throw std::runtime_error("a failing hook must not end the process");
        });
        server.SetActive(true);
    }
    TcpSocket Connect() { return ConnectTo(server.ListeningPort()); }
    std::string Ask(const std::string& request) {
        TcpSocket client = Connect();
        client.Send(request);
        return ReadUntilClosed(client);
    }
    bool ThreadsEnd() {
        return testing::WaitUntil([&] { return server.ConnectionThreads() == 0; }, 5s);
    }
    bool ParkedAre(size_t count) {
        return testing::WaitUntil([&] { return server.ParkedThreads() == count; }, 5s);
    }
};

TEST(ConnectionServer, TheHandlerGetsTheConnectionOnceItsFirstBytesHaveArrived) {
    EchoServer echo;
    TcpSocket client = echo.Connect();
    client.Send("ECHO a  b\r\nECHO never read\r\n");
    EXPECT_EQ(ReadUntilClosed(client), "[a  b]\r\n");
    EXPECT_TRUE(echo.ThreadsEnd());
    EXPECT_TRUE(echo.events.Events().empty());
}

TEST(ConnectionServer, FailuresReachTheExceptionHookAndEndOnlyTheirConnection) {
    EchoServer echo;
    TcpSocket waiting = echo.Connect();
    waiting.Send("WAIT\r\n");

    TcpSocket failing = echo.Connect();
    failing.Send("FAIL\r\n");
    EXPECT_EQ(ReadUntilClosed(failing), "");

    TcpSocket longLine = echo.Connect();
    longLine.Send(std::string(16385, 'x') + "\r\n");
    EXPECT_EQ(ReadUntilClosed(longLine), "");

    TcpSocket halfLine = echo.Connect();
    halfLine.Send("ECH");
    halfLine.Close();

    // A spare connection that closes without a byte is nobody's failure.
    TcpSocket spare = echo.Connect();
    spare.Close();

    TcpSocket longest = echo.Connect();  // 16384 bytes and its line end are still a line
    longest.Send("ECHO " + std::string(16379, 'y') + "\r\n");
    EXPECT_EQ(ReadUntilClosed(longest).size(), 16379u + 4);

    ASSERT_TRUE(testing::WaitUntil([&] { return echo.events.Events().size() == 3; }, 5s));
    EXPECT_EQ(echo.events.Count("handler failed"), 1);
    EXPECT_EQ(echo.events.Count("Max line length exceeded."), 1);
    EXPECT_EQ(echo.events.Count("Connection Closed Gracefully."), 1);
    // Only the waiting one is still served (the others end just after their reports).
    EXPECT_TRUE(testing::WaitUntil([&] { return echo.server.ConnectionThreads() == 1u; }, 5s));
    waiting.Close();
    EXPECT_TRUE(echo.ThreadsEnd());
}

TEST(ConnectionServer, ConnectionsBeyondTheMostAreClosedAsTheyCome) {
    EchoServer echo(15, 2);
    TcpSocket first = echo.Connect();
    TcpSocket second = echo.Connect();
    first.Send("WAIT\r\n");
    second.Send("WAIT\r\n");
    ASSERT_TRUE(testing::WaitUntil([&] { return echo.server.ConnectionThreads() == 2u; }, 5s));
    TcpSocket third = echo.Connect();
    third.Send("ECHO a\r\n");
    std::string answer;
    try {
        answer = ReadUntilClosed(third);
    } catch (const SocketError&) {
        // closed with the request unread: a reset
    }
    EXPECT_EQ(answer, "");
    first.Send("\r\n");
    ASSERT_TRUE(testing::WaitUntil([&] { return echo.server.ConnectionThreads() == 1u; }, 5s));
    TcpSocket fourth = echo.Connect();  // room again
    fourth.Send("ECHO b\r\n");
    EXPECT_EQ(ReadUntilClosed(fourth), "[b]\r\n");
}

// With no descriptor left, accept fails at once, for as long as the shortage lasts: the listener
// pauses instead of spinning, and serves the waiting connections once descriptors come back.
TEST(ConnectionServer, NoDescriptorLeftMeansPausesNotASpinAndServiceResumes) {
    EchoServer echo;
    testing::TempDir dir;
    // Another process connects ten times once the limit is tight, and counts the answers.
    testing::ChildProcess clients(
        "/usr/bin/python3",
        {"-c",
         "import socket, sys, time\n"
         "time.sleep(0.5)\n"
         "s = [socket.create_connection(('127.0.0.1', int(sys.argv[1]))) for _ in range(10)]\n"
         "for c in s: c.sendall(b'ECHO a\\r\\n'); c.settimeout(20)\n"
         "print(sum(c.recv(100) == b'[a]\\r\\n' for c in s))\n",
         std::to_string(echo.server.ListeningPort())},
        dir.str(), (dir / "out").string());
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 3;  // fewer than this process holds already: every accept fails
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(1500ms);
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &old), 0);
    const auto cpu = [](const rusage& usage) {
        return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    };
    // A spinning listener would use the whole second of a core.
    EXPECT_LT(cpu(after) - cpu(before), 300ms);
    EXPECT_EQ(clients.WaitForExit(30s), 0);
    EXPECT_EQ(testing::ReadFile(dir / "out"), "10\n");
}

TEST(ConnectionServer, ListensOnTheLoopbackAddressesOnly) {
    EchoServer echo;
    const int port = echo.server.ListeningPort();
    TcpSocket v4 = ConnectTo(port);
    v4.Send("ECHO v4\n");
    EXPECT_EQ(ReadUntilClosed(v4), "[v4]\r\n");
    if (IPv6LoopbackAvailable()) {  // the port is held and served on ::1 as well
        EXPECT_THROW(TcpListener("::1", port, 1), SocketError);
        EXPECT_EQ(AskOverIPv6(port, "ECHO v6\n"), "[v6]\r\n");
    }
    // 127.0.0.2 is a loopback address too, but not the one listened on: a wildcard listener would
    // accept it, and so it would any address of the machine.
    TcpSocket other;
    EXPECT_THROW(other.Connect("127.0.0.2", port, 5s), SocketError);
}

TEST(ConnectionServer, ActivationOnATakenPortFailsToTheCaller) {
    TcpListener taken("127.0.0.1", 0, 1);
    ConnectionServer server{
        [](TcpSocket socket) { return std::make_unique<ConnectionContext>(std::move(socket)); }};
    server.Configure({.DefaultPort = taken.Port()});
    EXPECT_THROW(server.SetActive(true), SocketError);
    EXPECT_FALSE(server.Active());
}

TEST(ConnectionServer, DeactivationEndsEveryConnectionPromptlyAndOnlyOnce) {
    EchoServer echo(600);
    std::vector<TcpSocket> idle;
    for (int i = 0; i < 500; ++i) idle.push_back(echo.Connect());
    TcpSocket waiting = echo.Connect();
    waiting.Send("WAIT\r\n");
    TcpSocket served = echo.Connect();  // still served with 501 others open
    served.Send("ECHO x\r\n");
    EXPECT_EQ(ReadUntilClosed(served), "[x]\r\n");
    ASSERT_TRUE(testing::WaitUntil([&] { return echo.server.ConnectionThreads() == 501; }, 10s));
    std::this_thread::sleep_for(200ms);  // until every thread waits for its line

    const auto start = std::chrono::steady_clock::now();
    echo.server.SetActive(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(echo.server.ConnectionThreads(), 0u);
    EXPECT_FALSE(echo.server.Active());
    echo.server.SetActive(false);
    EXPECT_EQ(ReadUntilClosed(idle.front()), "");
    // Every connection was waiting for a line when the server closed it: none of them is a failure.
    EXPECT_EQ(echo.events.Count("Connection Closed Gracefully."), 0);
}

// Threads that wait for connections while the server is idle: one on each listening socket.
size_t ListeningThreads() {
    return IPv6LoopbackAvailable() ? 2 : 1;
}

// Connections one after another are served by the two threads waiting on the IPv4 socket: no thread
// is started for them, and a thread whose connection ended serves again.
TEST(ConnectionServer, ThreadsWhoseConnectionEndedServeTheNextOnes) {
    EchoServer echo;
    EXPECT_TRUE(echo.ParkedAre(ListeningThreads()));
    EXPECT_EQ(echo.Ask("ECHO first\r\n"), "[first]\r\n");
    ASSERT_TRUE(echo.ParkedAre(ListeningThreads() + 1));  // one more: the one that served
    EXPECT_EQ(echo.server.ConnectionThreads(), 0u);       // a waiting thread serves nothing
    const size_t threads = ProcessThreads();
    std::set<std::string> serving;
    for (int i = 0; i < 20; ++i) {
        serving.insert(echo.Ask("THREAD\r\n"));
        ASSERT_TRUE(echo.ParkedAre(ListeningThreads() + 1));
    }
    EXPECT_LE(serving.size(), 2u);  // which of the two takes a connection is the system's choice
    EXPECT_EQ(ProcessThreads(), threads);
}

// Many clients at once, each connecting again and again: every connection is accepted and served,
// however the accepting is handed from thread to thread; afterwards the threads are few again.
TEST(ConnectionServer, ConnectionsFromManyClientsAtOnceAreAllServed) {
    ConnectionServerSettings settings = EchoSettings(64);
    settings.MostParkedThreads = 4;
    EchoServer echo(settings);
    std::atomic<int> answered{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < 12; ++c) {
        clients.emplace_back([&, c] {
            for (int i = 0; i < 40; ++i) {
                const std::string word = std::to_string(c) + "-" + std::to_string(i);
                if (echo.Ask("ECHO " + word + "\r\n") == "[" + word + "]\r\n") ++answered;
            }
        });
    }
    for (std::thread& client : clients) client.join();
    EXPECT_EQ(answered, 12 * 40);
    EXPECT_TRUE(echo.ThreadsEnd());
    EXPECT_TRUE(echo.ParkedAre(4));
}

// Activation and deactivation in quick succession, with clients connecting meanwhile: each
// deactivation returns promptly and leaves no thread behind, and each activation serves again.
TEST(ConnectionServer, ActivationAndDeactivationInTurnWhileClientsConnect) {
    const size_t before = ProcessThreads();
    auto echo = std::make_unique<EchoServer>();
    const int port = echo->server.ListeningPort();
    std::atomic<bool> done{false};
    std::thread client([&] {
        while (!done) {
            try {
                TcpSocket socket = ConnectTo(port);
                socket.Send("ECHO x\r\n");
                ReadUntilClosed(socket, 2s);
            } catch (const std::exception&) {
                // refused while inactive, or closed by the deactivation
            }
        }
    });
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        echo->server.SetActive(false);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        EXPECT_EQ(echo->server.ParkedThreads(), 0u);
        ConnectionServerSettings settings = EchoSettings();
        settings.DefaultPort = port;
        echo->server.Configure(settings);
        echo->server.SetActive(true);
        EXPECT_EQ(echo->Ask("ECHO again\r\n"), "[again]\r\n");
    }
    done = true;
    client.join();
    echo.reset();
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessThreads() == before; }, 5s));
}

// More threads end than park when many connections end at once; deactivation and the destructor end
// the parked ones, and no thread is left behind.
TEST(ConnectionServer, ParkedThreadsAreFewAndEndWithTheServer) {
    const size_t before = ProcessThreads();
    ConnectionServerSettings settings = EchoSettings();
    settings.MostParkedThreads = 3;
    auto echo = std::make_unique<EchoServer>(settings);
    EXPECT_TRUE(echo->ParkedAre(ListeningThreads()));
    const size_t listening = ProcessThreads();
    EXPECT_EQ(listening, before + ListeningThreads());
    std::vector<TcpSocket> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(echo->Connect());
        clients.back().Send("WAIT\r\n");
    }
    ASSERT_TRUE(testing::WaitUntil([&] { return echo->server.ConnectionThreads() == 4u; }, 5s));
    EXPECT_EQ(ProcessThreads(), listening + 4);
    for (TcpSocket& client : clients) client.Send("\r\n");
    ASSERT_TRUE(echo->ThreadsEnd());
    EXPECT_TRUE(echo->ParkedAre(3));
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessThreads() == before + 3; }, 5s));

    echo->server.SetActive(false);
    EXPECT_EQ(echo->server.ParkedThreads(), 0u);
    // A joined thread may still be counted for a moment while the system takes it down.
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessThreads() == before; }, 5s));

    echo->server.SetActive(true);  // threads wait again
    EXPECT_EQ(echo->Ask("ECHO back\r\n"), "[back]\r\n");
    ASSERT_TRUE(echo->ParkedAre(ListeningThreads() + 1));
    echo.reset();
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessThreads() == before; }, 5s));
}

TEST(ConnectionServer, AParkedThreadEndsAfterItsIdleTime) {
    ConnectionServerSettings settings = EchoSettings();
    settings.ParkedThreadIdleTime = 50;
    EchoServer echo(settings);
    const size_t listening = ProcessThreads();
    EXPECT_EQ(echo.Ask("ECHO a\r\n"), "[a]\r\n");
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessThreads() == listening; }, 5s));
    EXPECT_EQ(echo.server.ParkedThreads(), ListeningThreads());  // one stays on each socket
    EXPECT_EQ(echo.Ask("ECHO b\r\n"), "[b]\r\n");
}

}  // namespace
}  // namespace kiosk
