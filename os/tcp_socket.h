#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "os/byte_stream.h"

namespace kiosk {

// A failed socket operation: "Socket Error # " + the error number, CR LF, and its description.
class SocketError : public std::runtime_error {
public:
    SocketError(int code, const std::string& description);
    int Code() const { return code_; }

private:
    int code_;
};

// Throws SocketError for the system's error number code, with the system's description of it.
[[noreturn]] void ThrowSocketError(int code);

// Waits without a limit are cut into slices of this long, so that a shutdown or abort from another
// thread is noticed even where the system does not wake the wait (a listener, a name lookup).
inline constexpr Milliseconds kAbortCheckSlice{100};

// The longest a send waits for the peer to take a byte.
inline constexpr Milliseconds kSendTimeLimit{120'000};

// The error number that stands for a host name without an address ("Host not found.").
inline constexpr int kHostNotFound = 11001;

// The peer closed the connection while bytes were still needed.
class ConnectionClosedGracefully : public std::runtime_error {
public:
    ConnectionClosedGracefully() : std::runtime_error("Connection Closed Gracefully.") {}
};

// A wait with a time limit ran out: "Connect timed out." or "Read timed out.".
class SocketTimeout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A TCP connection. Shutdown may be called from another thread at any time: it ends the connection
// and every wait of the owning thread on it (connecting included), and it never touches a socket
// that has been closed meanwhile. Everything else belongs to the owning thread.
class TcpSocket : public ByteStream {
public:
    TcpSocket();
    explicit TcpSocket(std::intptr_t acceptedHandle);
    TcpSocket(TcpSocket&&) noexcept;
    TcpSocket& operator=(TcpSocket&&) noexcept;
    ~TcpSocket() override;

    // Connects to host and port. A host written as an address (IPv4, IPv6 with or without brackets)
    // is used as it is; a name is resolved to all its IPv6 and IPv4 addresses, which are tried the
    // RFC 8305 way (ConnectFirstAnswering) within timeout. Throws SocketError (kHostNotFound when the
    // name has no address; else the last address's failure), SocketTimeout "Connect timed out."
    // after timeout.
    void Connect(const std::string& host, int port, Milliseconds timeout);

    bool IsOpen() const override;

    // Reads what has arrived, at most size bytes, waiting up to timeout for the first; returns 0 when
    // the peer has closed. Throws SocketTimeout "Read timed out." when nothing came in time,
    // SocketError when reading fails.
    size_t Receive(char* buffer, size_t size, Milliseconds timeout) override;

    // Whether bytes (or the peer's close) are waiting, after waiting up to timeout.
    bool WaitReadable(Milliseconds timeout) const override;
    // Whether bytes can be sent without blocking, after waiting up to timeout.
    bool WaitWritable(Milliseconds timeout) const;
    std::optional<size_t> ReceiveIfArrived(char* buffer, size_t size, Milliseconds timeout) override;

    // Sends every byte. Throws SocketError when the connection fails, SocketTimeout "Write timed out."
    // when the peer takes no byte for the send time limit (kSendTimeLimit unless set).
    void Send(std::string_view bytes) override;
    void SetSendTimeLimit(Milliseconds limit);
    // Between two sockets the bytes go through a pipe of the thread's own (splice): the kernel hands
    // them on without a copy into this process. Failures as for Receive and Send.
    std::optional<size_t> MoveTo(ByteStream& destination, size_t most, Milliseconds timeout) override;

    void Shutdown();
    void Close();

    // The platform's handle, for waiting on several sockets at once.
    std::intptr_t Handle() const override;

private:
    void SendFromPipe(size_t count);

    struct State;
    std::unique_ptr<State> state_;
};

// Closes the calling thread's pipe for moving bytes between sockets (TcpSocket::MoveTo), if it has
// one; the next move makes another. A thread that goes idle holds no descriptor this way.
void ReleaseMovePipe();

// Reads exactly count bytes. Throws ConnectionClosedGracefully when the peer closes first.
std::string ReceiveExactly(TcpSocket& socket, size_t count, Milliseconds timeout);

// Waits up to timeout until either socket has bytes (or a close) waiting. Returns a bit set: 1 for a,
// 2 for b, 0 when the time ran out.
int WaitEitherReadable(const ByteStream& a, const ByteStream& b, Milliseconds timeout);

// A listening TCP socket. Shutdown may be called from another thread: Accept then returns nothing.
class TcpListener {
public:
    // Listens on address ("127.0.0.1", "::1") and port (0: any free port). Throws SocketError (for
    // example when the port is in use).
    TcpListener(const std::string& address, int port, int backlog);
    TcpListener(TcpListener&&) noexcept;
    TcpListener& operator=(TcpListener&&) noexcept;
    ~TcpListener();

    // Waits for the next connection; nothing once the listener is shut down. A failed accept gives
    // an empty socket (IsOpen false).
    std::optional<TcpSocket> Accept();

    // For servers whose threads wait for connections themselves, several at once: the wait happens
    // inside the system, which wakes one waiting thread for each connection, and lasts at most longest
    // (1 ms at least). Accept must not be used afterwards.
    void WaitInSystem(Milliseconds longest);
    enum class Wait { Accepted, Failed, TimedOut, ShutDown };
    // One such wait; socket is the connection when one was accepted. Failed: accepting failed (no
    // descriptor left, for example), at once and for as long as the cause lasts.
    Wait AcceptWaiting(TcpSocket& socket);

    // For servers whose clients speak first: a connection is accepted only once its first bytes have
    // arrived (or after about a second without any), so that it is taken with its request at once
    // instead of being waited on a second time.
    void DeferAcceptUntilData();
    // Ends every present and future wait for a connection at once.
    void Shutdown();
    int Port() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Whether the IPv6 loopback address can be listened on.
bool IPv6LoopbackAvailable();

}  // namespace kiosk
