#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mail/smtp_connection.h"

namespace kiosk {

// When the dialogue turns to TLS with STARTTLS (RFC 3207): the mail row "tls".
enum class MailTls {
    WhenOffered,  // "": when the server lists STARTTLS; otherwise plain, as servers without TLS need
    Required,     // "required" (and any unknown value): no message and no credentials without TLS
    Off,          // "off": never, not even when offered
};
MailTls ParseMailTls(std::string_view row);

// What one SMTP dialogue delivers.
struct SmtpEnvelope {
    std::string heloName;  // the name given with EHLO / HELO
    std::string login;     // no authentication when empty
    std::string password;
    std::string sender;                   // mailbox of MAIL FROM
    std::vector<std::string> recipients;  // mailboxes of RCPT TO
    std::string data;                     // headers, empty line, stuffed body and the closing "."
    MailTls tls = MailTls::WhenOffered;
    std::string caFile{};  // the CAs the server's certificate must chain to (PEM); empty: the system's
};

// The dialogue (RFC 5321) on a connection just opened: greeting, EHLO (HELO when EHLO is refused),
// STARTTLS and EHLO again as envelope.tls says, AUTH LOGIN when a login is set and the server lists
// it, then the message. Throws SmtpReplyError for an unexpected reply (after a failure from MAIL FROM
// on, RSET is sent once more first), std::runtime_error when TLS is required but not offered, and
// whatever the connection throws (a failed handshake among them). No commands are pipelined.
void RunSmtpDialogue(SmtpConnection& connection, const SmtpEnvelope& envelope);

}  // namespace kiosk
