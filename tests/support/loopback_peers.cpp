#include "tests/support/loopback_peers.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>

namespace kiosk::testing {

int FreePort() {
    TcpListener probe("127.0.0.1", 0, 1);
    return probe.Port();
}

bool AcceptsConnections(int port, const std::string& address) {
    try {
        TcpSocket probe;
        probe.Connect(address, port, 1s);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TcpSocket ConnectTo(int port) {
    TcpSocket socket;
    socket.Connect("127.0.0.1", port, 5s);
    return socket;
}

size_t OpenDescriptors() {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                             std::filesystem::directory_iterator()));
}

std::string ReadUntilClosed(TcpSocket& socket, Milliseconds timeout) {
    std::string bytes;
    char piece[65536];
    while (const size_t got = socket.Receive(piece, sizeof piece, timeout)) bytes.append(piece, got);
    return bytes;
}

std::string ReadMessage(TcpSocket& socket, Milliseconds timeout) {
    std::string message;
    char byte;
    while (!message.ends_with("\r\n\r\n")) {
        if (socket.Receive(&byte, 1, timeout) == 0) return message;
        message += byte;
    }
    const size_t field = message.find("Content-Length:");
    if (field == std::string::npos) return message;
    const long long length = std::atoll(message.c_str() + field + 15);
    if (length <= 0) return message;
    // Read as it arrives: a hostile request announces far more than it sends, or than memory holds.
    const size_t end = message.size() + static_cast<size_t>(length);
    char piece[65536];
    while (message.size() < end) {
        const size_t got = socket.Receive(piece, std::min(sizeof piece, end - message.size()), timeout);
        if (got == 0) throw ConnectionClosedGracefully();
        message.append(piece, got);
    }
    return message;
}

SilentListener::SilentListener(const std::string& address, int port) : listener_(address, port, 0) {
    queued_.Connect(address, listener_.Port(), 5s);
}

LoopbackOrigin::LoopbackOrigin(std::function<void(TcpSocket&)> serve)
    : serve_(std::move(serve)), listener_("127.0.0.1", 0, 64), port_(listener_.Port()) {
    acceptor_ = std::thread([this] { AcceptConnections(); });
}

LoopbackOrigin::~LoopbackOrigin() {
    listener_.Shutdown();
    acceptor_.join();
    {
        std::lock_guard lock(mutex_);
        for (auto& socket : sockets_) socket->Shutdown();
    }
    for (std::thread& thread : threads_) thread.join();
}

int LoopbackOrigin::Accepted() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(sockets_.size());
}

void LoopbackOrigin::AcceptConnections() {
    while (std::optional<TcpSocket> accepted = listener_.Accept()) {
        std::lock_guard lock(mutex_);
        sockets_.push_back(std::make_unique<TcpSocket>(std::move(*accepted)));
        TcpSocket* socket = sockets_.back().get();
        threads_.emplace_back([this, socket] {
            try {
                serve_(*socket);
            } catch (...) {
                // The proxy went away or the test ended the connection.
            }
            socket->Close();
        });
    }
}

AnsweringOrigin::AnsweringOrigin(std::string answerBytes)
    : answer(std::move(answerBytes)), origin([this](TcpSocket& socket) {
          const std::string request = ReadMessage(socket);
          {
              std::lock_guard lock(mutex);
              requests.push_back(request);
          }
          socket.Send(answer);
      }) {}

std::vector<std::string> AnsweringOrigin::Requests() const {
    std::lock_guard lock(mutex);
    return requests;
}

}  // namespace kiosk::testing
