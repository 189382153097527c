#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/tcp_socket.h"
#include "proxy/upstream/upstream_client.h"

namespace kiosk::testing {

// A tiny HTTP origin on a loopback port, one connection at a time: it reads a request head and answers
// "200 OK" with the request line it got as the body, then closes.
class HttpOrigin {
public:
    // address: the loopback address it listens on, "127.0.0.1" or "::1".
    explicit HttpOrigin(const std::string& address = "127.0.0.1");
    HttpOrigin(const HttpOrigin&) = delete;
    HttpOrigin& operator=(const HttpOrigin&) = delete;
    ~HttpOrigin();

    int Port() const { return listener_.Port(); }
    // Every request head received so far, in order.
    std::vector<std::string> Heads() const;

private:
    void Serve(TcpSocket& connection);

    TcpListener listener_;
    mutable std::mutex mutex_;
    std::vector<std::string> heads_;
    std::thread thread_;
};

// A peer for one connection that plays a script: for each step it reads exactly `read` bytes and then
// sends `send`. When the script is done (or a read fails) it closes the connection; when echo is set
// it first echoes everything until the other side closes.
class ScriptedPeer {
public:
    struct Step {
        size_t read;
        std::string send;
    };

    explicit ScriptedPeer(std::vector<Step> steps, bool echo = false);
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;
    ~ScriptedPeer();

    int Port() const { return listener_.Port(); }
    // The bytes read by the steps; complete once the connection has been closed.
    std::string Received() const;

private:
    void Play(TcpSocket& connection, const std::vector<Step>& steps, bool echo);

    TcpListener listener_{"127.0.0.1", 0, 2};
    mutable std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};

// Outbound connections and upstream proxies on the loopback address, as the request hook makes them.
OutboundRoute Client(const std::string& host, int port, TransparentProxySlot proxy = {});
SocksProxy Socks(SocksVersion version, int port, const std::string& user = "",
                 const std::string& password = "");
HttpProxy Http(int port, const std::string& user = "", const std::string& password = "");

// Sends request and reads everything until the peer closes.
std::string Exchange(TcpSocket& socket, const std::string& request);

}  // namespace kiosk::testing
