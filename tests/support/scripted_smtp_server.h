#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/tcp_socket.h"

namespace kiosk::testing {

// An SMTP peer for what a real server does not do on demand: on a loopback port, it answers each
// command from a table of replies by the command's first word, one connection after another, and
// records every line it receives. Between DATA's 354 and the "." line it only records; the reply to
// the message is the table's "." entry. Two replies are not replies: kClose closes the connection,
// kSilent answers nothing (and reads on).
class ScriptedSmtpServer {
public:
    static constexpr const char* kClose = "<close>";
    static constexpr const char* kSilent = "<silent>";

    // Replies (CR LF between the lines of a multi-line one, none at the end) for a willing server.
    ScriptedSmtpServer();
    ~ScriptedSmtpServer();

    // Replaces the reply to the command that begins with verb ("EHLO", "RCPT", ".", and "greeting"
    // for the greeting). Call before the first connection.
    void Reply(const std::string& verb, const std::string& reply);
    int Port() const { return listener_.Port(); }
    // Every line received so far, without line ends, on all connections.
    std::vector<std::string> Lines() const;
    // The command lines alone (not the message's lines).
    std::vector<std::string> Commands() const;
    int Connections() const;

private:
    void Serve();
    void Converse(TcpSocket& socket);
    bool Answer(TcpSocket& socket, const std::string& verb);
    std::string ReplyTo(const std::string& verb) const;
    void Record(const std::string& line, bool command);

    TcpListener listener_{"127.0.0.1", 0, 8};
    std::map<std::string, std::string> replies_;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::string> commands_;
    int connections_ = 0;
    std::thread thread_;
};

}  // namespace kiosk::testing
