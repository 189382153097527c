#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "os/tcp_socket.h"

namespace kiosk {

// A TLS client session (RFC 3207, after STARTTLS) on the descriptor of an SMTP connection's socket,
// which stays non-blocking: a step that cannot go on without the network says what it waits for, and
// the caller does the waiting. The server's certificate must chain to a CA of caFile (PEM; empty:
// the system's store) and be issued for host (a name, or an address). Failures throw
// std::runtime_error with a readable message; nothing is retried.
class SmtpTls {
public:
    enum class Want { Nothing, Read, Write };

    SmtpTls(int fd, const std::string& host, const std::string& caFile);
    ~SmtpTls();
    SmtpTls(const SmtpTls&) = delete;
    SmtpTls& operator=(const SmtpTls&) = delete;

    // One step of the handshake; Nothing once it is complete.
    Want Handshake();
    // Decrypts at most size bytes into buffer; count is their number, 0 with Nothing when the server
    // has closed.
    Want Read(char* buffer, size_t size, size_t& count);
    // Encrypts and sends a part of bytes; written is how much was taken (may be less than all).
    Want Write(std::string_view bytes, size_t& written);
    // Sends the closing alert, without waiting for anything.
    void Close();

private:
    struct Session;
    std::unique_ptr<Session> session_;
};

}  // namespace kiosk
