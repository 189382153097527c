#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "mail/smtp_reply.h"
#include "mail/smtp_tls.h"
#include "os/tcp_socket.h"
#include "os/ui.h"

namespace kiosk {

// The main thread's connection to the SMTP server. With the anti-freeze on, every wait (connecting,
// a reply) is cut into slices of 250 ms, and the window's pending events are handled between them.
// Text goes out through the fixed single-byte network mapping. Any failure of the socket (including
// a time-out or the server closing) leaves the connection unusable, so that nothing more is tried on
// it. After StartTls everything goes through TLS on the same socket, waited for the same way.
class SmtpConnection {
public:
    SmtpConnection(Ui& ui, bool antiFreeze, Milliseconds replyTimeout);

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
    void ProcessMessagesUnlessClosing();
    std::string ReadLine();
    void ReceiveMore();
    void ReceiveOverTls();
    void SendOverTls(std::string_view bytes);
    void WaitUntil(SmtpTls::Want want, std::chrono::steady_clock::time_point deadline,
                   const char* timeoutMessage);
    void ConnectWhileHandlingEvents(const std::string& host, int port, Milliseconds timeout);
    template <typename Action>
    auto Guarded(Action action);

    Ui& ui_;
    const bool antiFreeze_;
    const Milliseconds replyTimeout_;
    TcpSocket socket_;
    std::string host_;
    std::unique_ptr<SmtpTls> tls_;
    std::string received_;
    bool broken_ = false;
};

}  // namespace kiosk
