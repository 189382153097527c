#include "mail/smtp_connection.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <stdexcept>

#include "text/network_text.h"

namespace kiosk {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kAbandoned = "Отправка прервана: программа завершается";
// A reply longer than this is no SMTP server's: the connection is given up rather than read forever.
constexpr size_t kLongestReply = 64 * 1024;

bool IsExpected(int code, std::initializer_list<int> expected) {
    return std::find(expected.begin(), expected.end(), code) != expected.end();
}

}  // namespace

SmtpConnection::SmtpConnection(Milliseconds replyTimeout, std::stop_token stop)
    : replyTimeout_(replyTimeout), stop_(std::move(stop)), onStop_(stop_, ShutDownSocket{&socket_}) {}

template <typename Action>
auto SmtpConnection::Guarded(Action action) {
    try {
        return action();
    } catch (const SmtpReplyError&) {
        throw;
    } catch (...) {
        broken_ = true;
        // Whatever the shut-down socket made the step fail with, the send was abandoned.
        if (stop_.stop_requested()) throw std::runtime_error(kAbandoned);
        throw;
    }
}

void SmtpConnection::Connect(const std::string& host, int port, Milliseconds timeout) {
    host_ = host;
    Guarded([&] { socket_.Connect(host, port, timeout); });
}

// Waits until the socket is readable (or writable) or the deadline passes; a wait cut short by a
// signal goes on for the time left.
void SmtpConnection::WaitUntil(SmtpTls::Want want, Clock::time_point deadline, const char* timeoutMessage) {
    for (;;) {
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
        if (left <= 0ms) throw SocketTimeout(timeoutMessage);
        const bool ready =
            want == SmtpTls::Want::Write ? socket_.WaitWritable(left) : socket_.WaitReadable(left);
        if (ready) return;
    }
}

void SmtpConnection::StartTls(const std::string& caFile) {
    Guarded([&] {
        // Bytes that came after the server's 220 and before the handshake are nobody's to trust.
        if (!received_.empty()) throw std::runtime_error("Сервер почты прислал данные до начала TLS");
        auto tls = std::make_unique<SmtpTls>(static_cast<int>(socket_.Handle()), host_, caFile);
        const Clock::time_point deadline = Clock::now() + replyTimeout_;
        for (SmtpTls::Want want; (want = tls->Handshake()) != SmtpTls::Want::Nothing;)
            WaitUntil(want, deadline, "Сбой TLS с сервером почты: время ожидания истекло");
        tls_ = std::move(tls);
    });
}

void SmtpConnection::ReceiveMore() {
    if (tls_) return ReceiveOverTls();
    WaitUntil(SmtpTls::Want::Read, Clock::now() + replyTimeout_, "Read timed out.");
    char buffer[4096];
    const size_t count = socket_.Receive(buffer, sizeof buffer, 0ms);
    if (count == 0) throw ConnectionClosedGracefully();
    received_.append(buffer, count);
}

void SmtpConnection::ReceiveOverTls() {
    const Clock::time_point deadline = Clock::now() + replyTimeout_;
    char buffer[4096];
    for (;;) {
        size_t count = 0;
        const SmtpTls::Want want = tls_->Read(buffer, sizeof buffer, count);
        if (want == SmtpTls::Want::Nothing) {
            if (count == 0) throw ConnectionClosedGracefully();
            received_.append(buffer, count);
            return;
        }
        WaitUntil(want, deadline, "Read timed out.");
    }
}

// A server that takes no byte for the send time limit ends the send, as on a plain socket.
void SmtpConnection::SendOverTls(std::string_view bytes) {
    while (!bytes.empty()) {
        const Clock::time_point deadline = Clock::now() + kSendTimeLimit;
        size_t written = 0;
        for (SmtpTls::Want want; (want = tls_->Write(bytes, written)) != SmtpTls::Want::Nothing;)
            WaitUntil(want, deadline, "Write timed out.");
        bytes.remove_prefix(written);
    }
}

std::string SmtpConnection::ReadLine() {
    size_t end;
    while ((end = received_.find('\n')) == std::string::npos) {
        if (received_.size() > kLongestReply) throw std::runtime_error("Reply too long.");
        ReceiveMore();
    }
    std::string line = received_.substr(0, end);
    received_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return DecodeNetworkText(line);
}

SmtpReply SmtpConnection::ReadReply() {
    return Guarded([&] {
        SmtpReply reply;
        size_t size = 0;
        for (bool more = true; more;) {
            reply.lines.push_back(ReadLine());
            size += reply.lines.back().size();
            if (size > kLongestReply) throw std::runtime_error("Reply too long.");
            const SmtpReplyLine parsed = ParseReplyLine(reply.lines.back());
            reply.code = parsed.code;
            more = parsed.more;
        }
        return reply;
    });
}

void SmtpConnection::SendText(std::string_view text) {
    Guarded([&] {
        const std::string bytes = EncodeNetworkText(text);
        if (tls_) {
            SendOverTls(bytes);
        } else {
            socket_.Send(bytes);
        }
    });
}

SmtpReply SmtpConnection::Command(std::string_view line) {
    SendText(std::string(line) + "\r\n");
    return ReadReply();
}

SmtpReply SmtpConnection::Expect(std::string_view line, std::initializer_list<int> expected) {
    SendText(std::string(line) + "\r\n");
    return ExpectReply(expected);
}

SmtpReply SmtpConnection::ExpectReply(std::initializer_list<int> expected) {
    SmtpReply reply = ReadReply();
    if (!IsExpected(reply.code, expected)) throw SmtpReplyError(reply);
    return reply;
}

void SmtpConnection::Disconnect() {
    try {
        if (Usable()) Expect("QUIT", {221});
    } catch (...) {
        // A QUIT that fails changes nothing: the message was accepted or its failure is known already.
    }
    if (tls_ && Usable()) tls_->Close();
    tls_.reset();
    socket_.Close();
}

}  // namespace kiosk
