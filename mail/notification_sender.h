#pragma once

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>

#include "mail/mail_settings.h"
#include "os/tcp_socket.h"
#include "util/clock.h"

namespace kiosk {

inline constexpr int kSmtpPort = 25;
inline constexpr Milliseconds kSmtpConnectTimeout = std::chrono::seconds(120);
inline constexpr Milliseconds kSmtpReplyTimeout = std::chrono::seconds(120);

// How a notification reaches the server: the clock, the server's port, the time limits, and the stop
// that abandons a send in progress.
struct MailTransport {
    explicit MailTransport(const Clock& clock) : clock(clock) {}

    const Clock& clock;
    std::stop_token stop{};
    int port = kSmtpPort;
    Milliseconds connectTimeout = kSmtpConnectTimeout;
    Milliseconds replyTimeout = kSmtpReplyTimeout;
    std::string heloName;                           // empty: this computer's host name
    std::function<int(DateTime)> utcOffsetMinutes;  // empty: the local time zone's
};

// Mails notification texts, one SMTP dialogue each, on the mail worker's thread.
class NotificationSender {
public:
    NotificationSender(MailSettings settings, MailTransport transport);

    // Sends one text (UTF-8) to the configured recipients; returns the failure's message, empty on
    // success. With mailing off nothing is sent and nothing reported. Every failure of the send comes
    // back as its message, whatever its kind: a refusal by the server, a socket error, the server
    // closing in the middle, a time-out of the connect or of a reply. (Formerly only socket errors and
    // refusals came back; anything else escaped and ended the mail worker for the rest of the run.)
    std::string SendNotification(const std::string& text);

private:
    std::string Deliver(const std::string& text);

    const MailSettings settings_;
    const MailTransport transport_;
};

}  // namespace kiosk
