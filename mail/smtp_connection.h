#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "mail/smtp_reply.h"
#include "mail/smtp_tls.h"
#include "os/tcp_socket.h"

namespace kiosk {

// The mail worker's connection to the SMTP server. Every wait (connecting, a reply, a TLS step) blocks
// the calling thread within its time limit. A stop requested on stop (from any thread) shuts the socket
// down, which ends the wait in progress at once; the send then fails with "Отправка прервана: программа
// завершается". Text goes out through the fixed single-byte network mapping. Any failure of the socket
// (including a time-out or the server closing) leaves the connection unusable, so that nothing more is tried
// on it. After StartTls everything goes through TLS on the same socket, waited for the same way.
class SmtpConnection {
public:
    explicit SmtpConnection(Milliseconds replyTimeout, std::stop_token stop = {});
    SmtpConnection(const SmtpConnection&) = delete;
    SmtpConnection& operator=(const SmtpConnection&) = delete;

    // Throws SocketError, or SocketTimeout "Connect timed out." after timeout.
    void Connect(const std::string& host, int port, Milliseconds timeout);

    // Open, and no failure of the socket has happened on it.
    bool Usable() const { return socket_.IsOpen() && !broken_; }

    // Turns the connection to TLS (the server has just accepted STARTTLS): the handshake, within the
    // reply time-out, with the server's certificate verified for the host connected to against the
    // CAs of caFile (empty: the system's). Throws std::runtime_error when it fails.
    void StartTls(const std::string& caFile);
    bool Secure() const { return tls_ != nullptr; }

    // Reads one reply, all its lines. A reply that does not begin within the reply time-out throws
    // SocketTimeout "Read timed out.".
    SmtpReply ReadReply();
    // Sends text (UTF-8) as it is.
    void SendText(std::string_view text);
    // Sends one command line and reads its reply.
    SmtpReply Command(std::string_view line);
    // Sends one command line; throws SmtpReplyError unless the reply's code is one of expected.
    SmtpReply Expect(std::string_view line, std::initializer_list<int> expected);
    // Reads a reply; throws SmtpReplyError unless its code is one of expected.
    SmtpReply ExpectReply(std::initializer_list<int> expected);

    // When the connection is usable: "QUIT", expecting 221. Then closes. Never throws: the message's
    // fate is already decided.
    void Disconnect();

private:
    std::string ReadLine();
    void ReceiveMore();
    void ReceiveOverTls();
    void SendOverTls(std::string_view bytes);
    void WaitUntil(SmtpTls::Want want, std::chrono::steady_clock::time_point deadline,
                   const char* timeoutMessage);
    template <typename Action>
    auto Guarded(Action action);

    struct ShutDownSocket {
        TcpSocket* socket;
        void operator()() const { socket->Shutdown(); }
    };

    const Milliseconds replyTimeout_;
    const std::stop_token stop_;
    TcpSocket socket_;
    std::string host_;
    std::unique_ptr<SmtpTls> tls_;
    std::string received_;
    bool broken_ = false;
    // After the socket: it is unregistered (and a shutdown running on another thread finished) first.
    std::stop_callback<ShutDownSocket> onStop_;
};

}  // namespace kiosk
