#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/tcp_socket.h"

namespace kiosk::testing {

using namespace std::chrono_literals;

// A loopback port that was free a moment ago.
int FreePort();
TcpSocket ConnectTo(int port);
// Whether something takes connections on the loopback port (of address) now.
bool AcceptsConnections(int port, const std::string& address = "127.0.0.1");

// How many descriptors this process holds open now.
size_t OpenDescriptors();

// Everything the peer sends until it closes; throws SocketTimeout after timeout without a byte.
std::string ReadUntilClosed(TcpSocket& socket, Milliseconds timeout = 10s);
// A request or answer head, up to and including its empty line, and the body its Content-Length
// announces (none when it has no Content-Length).
std::string ReadMessage(TcpSocket& socket, Milliseconds timeout = 10s);

// A listener that never answers: a connection it never accepts fills its queue, so the system drops
// further connection requests without a reply (no refusal, no reset) and a connect to it waits.
class SilentListener {
public:
    // address: "127.0.0.1" or "::1"; port 0: any free port.
    SilentListener(const std::string& address, int port);
    int Port() const { return listener_.Port(); }

private:
    TcpListener listener_;
    TcpSocket queued_;
};

// An origin server for tests: every connection to its loopback port is served by serve on a thread
// of its own. Going away ends every connection and waits for the threads.
class LoopbackOrigin {
public:
    explicit LoopbackOrigin(std::function<void(TcpSocket&)> serve);
    LoopbackOrigin(const LoopbackOrigin&) = delete;
    LoopbackOrigin& operator=(const LoopbackOrigin&) = delete;
    ~LoopbackOrigin();

    int Port() const { return port_; }
    int Accepted() const;

private:
    void AcceptConnections();

    std::function<void(TcpSocket&)> serve_;
    TcpListener listener_;
    int port_;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<TcpSocket>> sockets_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};

// An origin that records each request it reads and answers with answer, then closes.
struct AnsweringOrigin {
    explicit AnsweringOrigin(std::string answer);
    std::vector<std::string> Requests() const;

    std::string answer;
    mutable std::mutex mutex;
    std::vector<std::string> requests;
    LoopbackOrigin origin;
};

}  // namespace kiosk::testing
