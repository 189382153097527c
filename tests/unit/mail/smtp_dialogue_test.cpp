// STARTTLS in the SMTP dialogue against a scripted server: what is sent, and what never is, when TLS
// is refused, broken or not offered. Real handshakes are tested against aiosmtpd (integration).

#include "mail/smtp_dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "mail/notification_sender.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_ui.h"
#include "tests/support/scripted_smtp_server.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedSmtpServer;
using Strings = std::vector<std::string>;

TEST(ParseMailTls, EmptyOffersOffAnythingElseRequires) {
    const std::pair<const char*, MailTls> cases[] = {
        {"", MailTls::WhenOffered},      {"off", MailTls::Off},      {"OFF", MailTls::Off},
        {"required", MailTls::Required}, {"yes", MailTls::Required}, {" off", MailTls::Required},
    };
    for (const auto& [row, tls] : cases) EXPECT_EQ(ParseMailTls(row), tls) << row;
}

bool SentAny(const Strings& commands, const std::string& verb) {
    return std::any_of(commands.begin(), commands.end(),
                       [&](const std::string& c) { return c.starts_with(verb); });
}

TEST(SmtpDialogueTls, NoCredentialsOrMessageWithoutTheTlsThatWasDue) {
    const struct {
        const char* name;
        const char* tls;
        const char* ehlo;
        const char* startTls;  // the reply to STARTTLS
        const char* failure;   // how the failure's message begins
        Strings commands;      // the first commands, up to the failure
    } cases[] = {
        {"refused",
         "",
         "250-x\r\n250-AUTH LOGIN\r\n250 STARTTLS",
         "454 4.7.0 TLS not available",
         "454 4.7.0",
         {"EHLO k", "STARTTLS", "QUIT"}},
        {"bytes before the handshake",
         "",
         "250-x\r\n250-STARTTLS\r\n250 AUTH LOGIN",
         "220 go\r\n250 injected",
         "Сервер почты прислал данные до начала TLS",
         {"EHLO k", "STARTTLS"}},
        {"no TLS server behind",
         "",
         "250-x\r\n250-AUTH=LOGIN\r\n250 starttls",
         "220 go",
         "Сбой TLS",
         {"EHLO k", "STARTTLS"}},
        {"required but not offered",
         "required",
         "250-x\r\n250 AUTH LOGIN",
         "",
         "Сервер почты не предлагает",
         {"EHLO k", "QUIT"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSmtpServer server;
        server.Reply("EHLO", c.ehlo);
        server.Reply("STARTTLS", c.startTls);
        testing::EventRecord record;
        testing::FakeUi ui{record};
        testing::FakeClock clock;
        MailTransport transport(ui, clock);
        transport.port = server.Port();
        transport.heloName = "k";
        transport.replyTimeout = 2s;
        const MailSettings settings{.recipients = "ops@example.org",
                                    .host = "127.0.0.1",
                                    .login = "user",
                                    .password = "secret",
                                    .from = "kiosk@example.org",
                                    .tls = c.tls};
        const std::string failure = NotificationSender(settings, transport).SendNotification("text");
        EXPECT_TRUE(failure.starts_with(c.failure)) << failure;
        const Strings commands = server.Commands();
        ASSERT_GE(commands.size(), c.commands.size());
        EXPECT_EQ(Strings(commands.begin(), commands.begin() + c.commands.size()), c.commands);
        EXPECT_FALSE(SentAny(commands, "AUTH") || SentAny(commands, "MAIL") || SentAny(commands, "dXNlcg"));
    }
}

TEST(SmtpDialogueTls, OffNeverStartsTlsEvenWhenOffered) {
    ScriptedSmtpServer server;
    server.Reply("EHLO", "250-x\r\n250 STARTTLS");
    testing::EventRecord record;
    testing::FakeUi ui{record};
    testing::FakeClock clock;
    MailTransport transport(ui, clock);
    transport.port = server.Port();
    transport.heloName = "k";
    const MailSettings settings{
        .recipients = "ops@example.org", .host = "127.0.0.1", .from = "kiosk@example.org", .tls = "off"};
    EXPECT_EQ(NotificationSender(settings, transport).SendNotification("text"), "");
    EXPECT_EQ(server.Commands(), (Strings{"EHLO k", "RSET", "MAIL FROM: <kiosk@example.org>",
                                          "RCPT TO:<ops@example.org>", "DATA", "QUIT"}));
}

}  // namespace
}  // namespace kiosk
