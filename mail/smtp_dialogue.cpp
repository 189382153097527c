#include "mail/smtp_dialogue.h"

#include <sstream>
#include <stdexcept>

#include "text/ascii.h"
#include "util/base64.h"

namespace kiosk {

namespace {

// Whether an EHLO capability line ("AUTH PLAIN LOGIN", or the older "AUTH=LOGIN") offers LOGIN.
bool OffersAuthLogin(const std::string& capability) {
    std::string words = capability;
    for (char& c : words) {
        if (c == '=') c = ' ';
    }
    std::istringstream stream(words);
    std::string keyword;
    if (!(stream >> keyword) || !AsciiEqualsIgnoringCase(keyword, "AUTH")) return false;
    for (std::string mechanism; stream >> mechanism;) {
        if (AsciiEqualsIgnoringCase(mechanism, "LOGIN")) return true;
    }
    return false;
}

bool OffersStartTls(const std::vector<std::string>& capabilities) {
    for (const std::string& capability : capabilities) {
        if (AsciiEqualsIgnoringCase(TrimBlanks(capability), "STARTTLS")) return true;
    }
    return false;
}

// The capability lines: every line of the EHLO reply after the first, without its code.
std::vector<std::string> Hello(SmtpConnection& connection, const std::string& heloName) {
    const SmtpReply ehlo = connection.Command("EHLO " + heloName);
    if (ehlo.code != 250) {
        connection.Expect("HELO " + heloName, {250});
        return {};
    }
    std::vector<std::string> capabilities;
    for (size_t i = 1; i < ehlo.lines.size(); ++i) {
        const std::string& line = ehlo.lines[i];
        capabilities.push_back(line.size() > 4 ? line.substr(4) : std::string());
    }
    return capabilities;
}

// The capabilities the rest of the dialogue goes by: after STARTTLS, those the server lists over TLS
// (RFC 3207 has the client forget what it learnt before).
std::vector<std::string> Greet(SmtpConnection& connection, const SmtpEnvelope& envelope) {
    connection.ExpectReply({220});
    std::vector<std::string> capabilities = Hello(connection, envelope.heloName);
    if (envelope.tls != MailTls::Off && OffersStartTls(capabilities)) {
        connection.Expect("STARTTLS", {220});
        connection.StartTls(envelope.caFile);
        capabilities = Hello(connection, envelope.heloName);
    }
    if (envelope.tls == MailTls::Required && !connection.Secure())
        throw std::runtime_error(
            "Сервер почты не предлагает STARTTLS, а строка tls требует TLS: письмо не отправлено");
    return capabilities;
}

void Authenticate(SmtpConnection& connection, const std::vector<std::string>& capabilities,
                  const SmtpEnvelope& envelope) {
    if (envelope.login.empty()) return;
    bool offered = false;
    for (const std::string& capability : capabilities) offered = offered || OffersAuthLogin(capability);
    if (!offered) return;
    connection.Expect("AUTH LOGIN", {334});
    connection.Expect(Base64Encode(envelope.login), {334});
    connection.Expect(Base64Encode(envelope.password), {235});
}

void SendMessage(SmtpConnection& connection, const SmtpEnvelope& envelope) {
    connection.Command("RSET");
    connection.Expect("MAIL FROM: <" + envelope.sender + ">", {250});
    for (const std::string& recipient : envelope.recipients) {
        connection.Expect("RCPT TO:<" + recipient + ">", {250, 251});
    }
    connection.Expect("DATA", {354});
    connection.SendText(envelope.data);
    connection.ExpectReply({250});
}

}  // namespace

MailTls ParseMailTls(std::string_view row) {
    if (row.empty()) return MailTls::WhenOffered;
    return AsciiEqualsIgnoringCase(row, "off") ? MailTls::Off : MailTls::Required;
}

void RunSmtpDialogue(SmtpConnection& connection, const SmtpEnvelope& envelope) {
    Authenticate(connection, Greet(connection, envelope), envelope);
    try {
        SendMessage(connection, envelope);
    } catch (const SmtpReplyError&) {
        // The server refused part of the transaction: leave it reset for the QUIT that follows.
        try {
            connection.Command("RSET");
        } catch (...) {
            // The refusal is what is reported.
        }
        throw;
    }
}

}  // namespace kiosk
