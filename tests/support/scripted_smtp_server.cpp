#include "tests/support/scripted_smtp_server.h"

#include <chrono>

namespace kiosk::testing {

namespace {

using namespace std::chrono_literals;

// One line without its CR LF; nothing when the peer has closed or gone quiet for long.
std::optional<std::string> ReadLine(TcpSocket& socket, std::string& pending) {
    for (;;) {
        const size_t end = pending.find("\r\n");
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 2);
            return line;
        }
        char buffer[4096];
        size_t count = 0;
        try {
            count = socket.Receive(buffer, sizeof buffer, 10s);
        } catch (const std::exception&) {
            return std::nullopt;
        }
        if (count == 0) return std::nullopt;
        pending.append(buffer, count);
    }
}

std::string VerbOf(const std::string& line) {
    std::string verb = line.substr(0, line.find(' '));
    for (char& c : verb) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return verb;
}

}  // namespace

ScriptedSmtpServer::ScriptedSmtpServer()
    : replies_{{"greeting", "220 scripted ready"},
               {"EHLO", "250-scripted\r\n250 HELP"},
               {"HELO", "250 scripted"},
               {"AUTH", "334 VXNlcm5hbWU6"},
               {"RSET", "250 reset"},
               {"MAIL", "250 sender ok"},
               {"RCPT", "250 recipient ok"},
               {"DATA", "354 go ahead"},
               {".", "250 queued"},
               {"QUIT", "221 bye"}} {
    thread_ = std::thread([this] { Serve(); });
}

ScriptedSmtpServer::~ScriptedSmtpServer() {
    listener_.Shutdown();
    thread_.join();
}

void ScriptedSmtpServer::Reply(const std::string& verb, const std::string& reply) {
    std::lock_guard lock(mutex_);
    replies_[verb] = reply;
}

std::string ScriptedSmtpServer::ReplyTo(const std::string& verb) const {
    std::lock_guard lock(mutex_);
    const auto found = replies_.find(verb);
    return found == replies_.end() ? "500 unknown command" : found->second;
}

std::vector<std::string> ScriptedSmtpServer::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> ScriptedSmtpServer::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

int ScriptedSmtpServer::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

void ScriptedSmtpServer::Record(const std::string& line, bool command) {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
    if (command) commands_.push_back(line);
}

void ScriptedSmtpServer::Serve() {
    while (std::optional<TcpSocket> socket = listener_.Accept()) {
        if (!socket->IsOpen()) continue;
        {
            std::lock_guard lock(mutex_);
            ++connections_;
        }
        Converse(*socket);
    }
}

void ScriptedSmtpServer::Converse(TcpSocket& socket) {
    std::string pending;
    if (!Answer(socket, "greeting")) return;
    bool inData = false;
    while (std::optional<std::string> line = ReadLine(socket, pending)) {
        Record(*line, !inData);
        if (inData && *line != ".") continue;
        const std::string verb = inData ? "." : VerbOf(*line);
        inData = false;
        if (!Answer(socket, verb)) return;
        inData = verb == "DATA" && ReplyTo(verb).starts_with("354");
    }
}

// Sends the reply for verb ("500 unknown" when the table has none); false once the connection is to
// end.
bool ScriptedSmtpServer::Answer(TcpSocket& socket, const std::string& verb) {
    const std::string reply = ReplyTo(verb);
    if (reply == kClose) return false;
    if (reply == kSilent) return true;
    try {
        socket.Send(reply + "\r\n");
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

}  // namespace kiosk::testing
