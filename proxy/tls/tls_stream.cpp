#include "proxy/tls/tls_stream.h"

#include <openssl/err.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "os/tcp_socket.h"

namespace kiosk {

namespace {

using Clock = std::chrono::steady_clock;

// What is left of a wait that ends at deadline (none: kWaitForever).
Milliseconds Remaining(std::optional<Clock::time_point> deadline) {
    if (!deadline) return kWaitForever;
    const auto left = std::chrono::duration_cast<Milliseconds>(*deadline - Clock::now());
    return std::max(left, Milliseconds(0));
}

std::optional<Clock::time_point> Deadline(Milliseconds timeout) {
    if (timeout.count() < 0) return std::nullopt;
    return Clock::now() + timeout;
}

}  // namespace

// The BIO that connects a session to its transport: its data pointer is the TlsStream.
struct TlsStream::SocketBio {
    static const TlsStream& Stream(BIO* bio) { return *static_cast<const TlsStream*>(BIO_get_data(bio)); }

    // OpenSSL reads a record's header and its body separately; the socket is read in larger pieces
    // into the stream's buffer, so that a record costs one system call, not two.
    static int Read(BIO* bio, char* data, size_t size, size_t* read) {
        const TlsStream& stream = Stream(bio);
        BIO_clear_retry_flags(bio);
        if (stream.readStart_ == stream.readEnd_) {
            // Not cleared first: the socket overwrites what it fills, and nothing beyond is read.
            if (!stream.readBuffer_) stream.readBuffer_ = std::make_unique_for_overwrite<char[]>(kReadPiece);
            size_t got = 0;
            try {
                got = stream.transport_.Receive(stream.readBuffer_.get(), kReadPiece, stream.timeout_);
            } catch (...) {
                stream.transportFailure_ = std::current_exception();
                return 0;
            }
            if (got == 0) {
                stream.endOfStream_ = true;
                return 0;
            }
            stream.readStart_ = 0;
            stream.readEnd_ = got;
        }
        *read = std::min(size, stream.readEnd_ - stream.readStart_);
        std::copy_n(stream.readBuffer_.get() + stream.readStart_, *read, data);
        stream.readStart_ += *read;
        if (stream.readStart_ == stream.readEnd_) stream.readBuffer_.reset();  // an idle stream holds none
        return 1;
    }

    static int Write(BIO* bio, const char* data, size_t size, size_t* written) {
        const TlsStream& stream = Stream(bio);
        BIO_clear_retry_flags(bio);
        try {
            stream.transport_.Send(std::string_view(data, size));
        } catch (...) {
            stream.transportFailure_ = std::current_exception();
            return 0;
        }
        *written = size;
        return 1;
    }

    static long Control(BIO* bio, int command, long, void*) {
        if (command == BIO_CTRL_FLUSH) return 1;
        if (command == BIO_CTRL_EOF) return Stream(bio).endOfStream_ ? 1 : 0;
        return 0;
    }

    static int Create(BIO* bio) {
        BIO_set_init(bio, 1);
        return 1;
    }

    static const BIO_METHOD* Method() {
        static BIO_METHOD* const method = [] {
            BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "kiosk stream");
            if (!made || BIO_meth_set_read_ex(made, &Read) != 1 || BIO_meth_set_write_ex(made, &Write) != 1 ||
                BIO_meth_set_ctrl(made, &Control) != 1 || BIO_meth_set_create(made, &Create) != 1)
                ThrowOpenSslFailure("Невозможно настроить TLS");
            return made;
        }();
        return method;
    }
};

TlsStream::TlsStream(ByteStream& transport, SslPtr session)
    : transport_(transport), session_(std::move(session)) {
    BIO* bio = BIO_new(SocketBio::Method());
    if (!bio) ThrowOpenSslFailure("Невозможно настроить TLS");
    BIO_set_data(bio, this);
    SSL_set_bio(session_.get(), bio, bio);
    // A read that handled only a message without data returns, instead of waiting for data on its own:
    // the waits here keep their time limits.
    SSL_clear_mode(session_.get(), SSL_MODE_AUTO_RETRY);
    // Idle connections (kept alive for the browser's next request) hold no record buffers.
    SSL_set_mode(session_.get(), SSL_MODE_RELEASE_BUFFERS);
}

TlsStream::~TlsStream() {
    // The close message is sent without waiting for the peer's; a peer already gone makes it fail
    // quietly.
    if (!established_ || endOfStream_ || !transport_.IsOpen()) return;
    timeout_ = Milliseconds(0);
    SSL_shutdown(session_.get());
    ERR_clear_error();
}

void TlsStream::Accept(Milliseconds timeout) {
    Handshake(&SSL_accept, timeout);
}

void TlsStream::Connect(Milliseconds timeout) {
    Handshake(&SSL_connect, timeout);
}

void TlsStream::Handshake(int (*step)(SSL*), Milliseconds timeout) {
    timeout_ = timeout;
    transportFailure_ = nullptr;
    const int result = step(session_.get());
    if (result != 1) {
        const std::string verification = VerificationFailure(session_.get());
        if (!verification.empty() && !SSL_is_server(session_.get())) {
            ERR_clear_error();
            throw TlsFailure(verification);
        }
        if (endOfStream_) {
            transportFailure_ = nullptr;
            ERR_clear_error();
            throw TlsFailure("the peer closed the connection during the handshake");
        }
        ThrowFailure(result, "handshake failed");
    }
    established_ = true;
}

size_t TlsStream::Read(bool peek, char* buffer, size_t size, Milliseconds timeout) const {
    const auto deadline = Deadline(timeout);
    for (;;) {
        if (endOfStream_ && !HasPending()) return 0;
        timeout_ = Remaining(deadline);
        transportFailure_ = nullptr;
        size_t read = 0;
        SSL* session = session_.get();
        const int result =
            peek ? SSL_peek_ex(session, buffer, size, &read) : SSL_read_ex(session, buffer, size, &read);
        if (result == 1) return read;
        const int error = SSL_get_error(session, result);
        if (error == SSL_ERROR_ZERO_RETURN || endOfStream_) {
            // The peer's close message, or its plain close: the end of the stream either way (an alert
            // OpenSSL then fails to send does not matter).
            endOfStream_ = true;
            transportFailure_ = nullptr;
            ERR_clear_error();
            return 0;
        }
        if (error != SSL_ERROR_WANT_READ || transportFailure_) ThrowFailure(result, "reading failed");
        // A message without data was handled; go on with what was read ahead, or wait for more.
        ERR_clear_error();
        if (!HasPending() && !transport_.WaitReadable(Remaining(deadline)))
            throw SocketTimeout("Read timed out.");
    }
}

size_t TlsStream::Receive(char* buffer, size_t size, Milliseconds timeout) {
    return Read(false, buffer, size, timeout);
}

bool TlsStream::WaitReadable(Milliseconds timeout) const {
    if (SSL_pending(session_.get()) > 0 || endOfStream_) return true;
    if (!HasPending() && !transport_.WaitReadable(timeout)) return false;
    try {
        char first = 0;
        Read(true, &first, 1, timeout);
    } catch (const SocketTimeout&) {
        return false;  // only messages without data came
    } catch (const std::exception&) {
        // The failure shows again at the next read, which reports it.
    }
    return true;
}

// Decrypted bytes, or bytes taken from the socket and not yet given to OpenSSL: either way the
// socket's handle no longer shows them.
bool TlsStream::HasPending() const {
    return SSL_pending(session_.get()) > 0 || readStart_ < readEnd_;
}

void TlsStream::Send(std::string_view bytes) {
    timeout_ = kWaitForever;
    transportFailure_ = nullptr;
    while (!bytes.empty()) {
        size_t written = 0;
        const int result = SSL_write_ex(session_.get(), bytes.data(), bytes.size(), &written);
        if (result != 1) ThrowFailure(result, "writing failed");
        bytes.remove_prefix(written);
    }
}

void TlsStream::ThrowFailure(int result, const std::string& what) const {
    const int error = SSL_get_error(session_.get(), result);
    if (transportFailure_) {
        ERR_clear_error();
        std::rethrow_exception(std::exchange(transportFailure_, nullptr));
    }
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) throw TlsFailure("TLS " + what + " (" + std::to_string(error) + ")");
    char reason[256];
    ERR_error_string_n(code, reason, sizeof reason);
    throw TlsFailure("TLS " + what + ": " + reason);
}

}  // namespace kiosk
