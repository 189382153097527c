#pragma once

#include <exception>
#include <memory>
#include <string>

#include "os/byte_stream.h"
#include "proxy/tls/tls_contexts.h"

namespace kiosk {

// A failed TLS handshake or a TLS session that broke: the reason as OpenSSL or the verification gives
// it.
class TlsFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A TLS session over a connected stream (a TCP socket). OpenSSL reads and writes through the
// stream's own calls, so the socket's time limits and its Shutdown (from another thread) hold for the
// session too, and a write to a closed peer fails instead of raising SIGPIPE. The peer closing the
// connection, with or without TLS's close message, reads as the end of the stream. Messages that carry
// no data (session tickets, key updates) never count as bytes to read. Neither copied nor moved:
// OpenSSL keeps its address.
class TlsStream : public ByteStream {
public:
    // transport must outlive the stream; session is configured for its side (server or client).
    TlsStream(ByteStream& transport, SslPtr session);
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;
    ~TlsStream() override;

    // The handshake as server or client, each read waiting at most timeout. Throws TlsFailure with
    // the reason (for a client, a failed verification's reason first), or the socket's own failure.
    void Accept(Milliseconds timeout);
    void Connect(Milliseconds timeout);

    size_t Receive(char* buffer, size_t size, Milliseconds timeout) override;
    bool WaitReadable(Milliseconds timeout) const override;
    bool HasPending() const override;
    void Send(std::string_view bytes) override;
    bool IsOpen() const override { return transport_.IsOpen(); }
    std::intptr_t Handle() const override { return transport_.Handle(); }

    SSL* Session() const { return session_.get(); }

private:
    struct SocketBio;
    void Handshake(int (*step)(SSL*), Milliseconds timeout);
    // Reads (or with peek, looks at) decrypted bytes, waiting up to timeout for the first.
    size_t Read(bool peek, char* buffer, size_t size, Milliseconds timeout) const;
    // After a failed OpenSSL call: rethrows what the socket threw meanwhile, else throws TlsFailure.
    [[noreturn]] void ThrowFailure(int result, const std::string& what) const;

    ByteStream& transport_;
    SslPtr session_;
    // State of the OpenSSL call in progress; WaitReadable, which is const, reads ahead as well.
    mutable Milliseconds timeout_ = kWaitForever;  // for the transport's reads
    mutable std::exception_ptr transportFailure_;  // what the transport threw
    mutable bool endOfStream_ = false;             // the peer closed the connection
    // What was taken from the transport and not yet given to OpenSSL: readBuffer_[readStart_..readEnd_].
    static constexpr size_t kReadPiece = 17 * 1024;  // a whole record of 16 KiB with its overhead
    mutable std::unique_ptr<char[]> readBuffer_;
    mutable size_t readStart_ = 0;
    mutable size_t readEnd_ = 0;
    bool established_ = false;
};

}  // namespace kiosk
