#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kiosk {

using Milliseconds = std::chrono::milliseconds;
inline constexpr Milliseconds kWaitForever{-1};

// A two-way stream of bytes over a connection: a TCP socket, or a TLS session on top of one.
class ByteStream {
public:
    virtual ~ByteStream() = default;

    // Reads what has arrived, at most size bytes, waiting up to timeout for the first; returns 0 when
    // the peer has closed. Throws SocketTimeout "Read timed out." when nothing came in time, and
    // std::runtime_error when reading fails.
    virtual size_t Receive(char* buffer, size_t size, Milliseconds timeout) = 0;

    // Whether bytes (or the peer's close) are waiting, after waiting up to timeout.
    virtual bool WaitReadable(Milliseconds timeout) const = 0;

    // As Receive, but nothing at once when nothing (no byte, no close) has arrived: one try instead
    // of a wait and a read. timeout only bounds the rest of what has begun to arrive (a TLS record).
    virtual std::optional<size_t> ReceiveIfArrived(char* buffer, size_t size, Milliseconds timeout) {
        if (!WaitReadable(Milliseconds(0))) return std::nullopt;
        return Receive(buffer, size, timeout);
    }

    // Whether bytes are waiting that the connection's handle does not show (already taken from the
    // socket and decoded), so that a wait on the handle alone would miss them.
    virtual bool HasPending() const { return false; }

    // Sends every byte. Throws std::runtime_error when the connection fails.
    virtual void Send(std::string_view bytes) = 0;

    // Moves what arrives, at most most bytes (waiting up to timeout for the first), straight on to
    // destination, without copying it through this process, and returns how many: 0 when the peer
    // has closed. Nothing when the two streams cannot do that; the caller then reads and sends.
    virtual std::optional<size_t> MoveTo(ByteStream& destination, size_t most, Milliseconds timeout) {
        (void)destination, (void)most, (void)timeout;
        return std::nullopt;
    }

    virtual bool IsOpen() const = 0;

    // The platform's handle of the underlying connection, for waiting on several at once.
    virtual std::intptr_t Handle() const = 0;
};

}  // namespace kiosk
