#pragma once

#include <string>
#include <vector>

#include "mail/smtp_connection.h"

namespace kiosk {

// What one SMTP dialogue delivers.
struct SmtpEnvelope {
    std::string heloName;  // the name given with EHLO / HELO
    std::string login;     // no authentication when empty
    std::string password;
    std::string sender;                   // mailbox of MAIL FROM
    std::vector<std::string> recipients;  // mailboxes of RCPT TO
    std::string data;                     // headers, empty line, stuffed body and the closing "."
};

// The dialogue (RFC 5321) on a connection just opened: greeting, EHLO (HELO when EHLO is refused),
// AUTH LOGIN when a login is set and the server lists it, then the message. Throws SmtpReplyError
// for an unexpected reply (after a failure from MAIL FROM on, RSET is sent once more first) and
// whatever the connection throws. No commands are pipelined.
void RunSmtpDialogue(SmtpConnection& connection, const SmtpEnvelope& envelope);

}  // namespace kiosk
