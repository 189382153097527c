#include "tests/support/test_peers.h"

#include <chrono>

namespace kiosk::testing {

namespace {

using namespace std::chrono_literals;

constexpr Milliseconds kPeerTimeout = 5s;

std::string ReadHead(TcpSocket& connection) {
    std::string head;
    char byte = 0;
    while (!head.ends_with("\r\n\r\n") && connection.Receive(&byte, 1, kPeerTimeout) == 1) head += byte;
    return head;
}

}  // namespace

HttpOrigin::HttpOrigin(const std::string& address) : listener_(address, 0, 8) {
    thread_ = std::thread([this] {
        while (auto connection = listener_.Accept()) {
            if (connection->IsOpen()) Serve(*connection);
        }
    });
}

HttpOrigin::~HttpOrigin() {
    listener_.Shutdown();
    thread_.join();
}

std::vector<std::string> HttpOrigin::Heads() const {
    std::lock_guard lock(mutex_);
    return heads_;
}

void HttpOrigin::Serve(TcpSocket& connection) {
    try {
        const std::string head = ReadHead(connection);
        {
            std::lock_guard lock(mutex_);
            heads_.push_back(head);
        }
        const std::string body = head.substr(0, head.find("\r\n"));
        connection.Send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                        body);
    } catch (const std::exception&) {
        // A broken test connection only ends that connection.
    }
}

ScriptedPeer::ScriptedPeer(std::vector<Step> steps, bool echo) {
    thread_ = std::thread([this, steps = std::move(steps), echo] {
        if (auto connection = listener_.Accept(); connection && connection->IsOpen()) {
            Play(*connection, steps, echo);
        }
    });
}

ScriptedPeer::~ScriptedPeer() {
    listener_.Shutdown();
    thread_.join();
}

std::string ScriptedPeer::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void ScriptedPeer::Play(TcpSocket& connection, const std::vector<Step>& steps, bool echo) {
    try {
        for (const Step& step : steps) {
            const std::string bytes = ReceiveExactly(connection, step.read, kPeerTimeout);
            {
                std::lock_guard lock(mutex_);
                received_ += bytes;
            }
            connection.Send(step.send);
        }
        // What the other side still sends is echoed, or read and dropped for a moment, so that the
        // close does not reset the connection before the other side has read the last reply.
        char buffer[4096];
        const Milliseconds wait = echo ? kPeerTimeout : Milliseconds(200);
        while (const size_t count = connection.Receive(buffer, sizeof buffer, wait)) {
            if (echo) connection.Send(std::string_view(buffer, count));
        }
    } catch (const std::exception&) {
        // The connection is closed below, which is what the other side then sees.
    }
    connection.Close();
}

std::string Exchange(TcpSocket& socket, const std::string& request) {
    socket.Send(request);
    std::string answer;
    char buffer[4096];
    while (const size_t count = socket.Receive(buffer, sizeof buffer, kPeerTimeout))
        answer.append(buffer, count);
    return answer;
}

OutboundRoute Client(const std::string& host, int port, TransparentProxySlot proxy) {
    return {host, port, std::move(proxy)};
}

SocksProxy Socks(SocksVersion version, int port, const std::string& user, const std::string& password) {
    SocksProxy socks;
    socks.Version = version;
    socks.Host = "127.0.0.1";
    socks.Port = port;
    socks.Username = user;
    socks.Password = password;
    if (!user.empty()) socks.Authentication = SocksAuthentication::UsernamePassword;
    return socks;
}

HttpProxy Http(int port, const std::string& user, const std::string& password) {
    return {"127.0.0.1", port, user, password, true};
}

}  // namespace kiosk::testing
