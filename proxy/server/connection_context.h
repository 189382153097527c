#pragma once

#include <atomic>

#include "os/tcp_socket.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

// A connection (or a tunnel) that carries nothing for this long is closed; a request whose next bytes
// take this long fails.
inline constexpr Milliseconds kIdleConnectionLimit{120'000};

// What the connection server keeps of one accepted connection: its socket and input buffer. Owned by
// the connection's thread; Abort may be called from any thread while the context lives.
class ConnectionContext {
public:
    // A context without a connection (for code that only looks at the other fields).
    ConnectionContext() = default;
    explicit ConnectionContext(TcpSocket socket) : socket_(std::move(socket)) {}
    ConnectionContext(const ConnectionContext&) = delete;
    ConnectionContext& operator=(const ConnectionContext&) = delete;
    virtual ~ConnectionContext() = default;

    BufferedConnection& Connection() { return connection_; }

    // Ends every present and future wait of the connection's thread on its sockets, so that the
    // thread fails out of its work and ends. Safe from any thread, any number of times.
    virtual void Abort() {
        aborted_ = true;
        socket_.Shutdown();
    }
    // Whether Abort has ended the connection (the server closing it, not the peer or a failure).
    bool Aborted() const { return aborted_; }

    void CloseConnection() { socket_.Close(); }

private:
    TcpSocket socket_;
    BufferedConnection connection_{socket_, kIdleConnectionLimit};
    std::atomic<bool> aborted_{false};
};

}  // namespace kiosk
