// STARTTLS that fails before any handshake, against a scripted server: neither the login nor the
// message goes out in plain. Real handshakes are tested against aiosmtpd (integration).

#include "mail/smtp_dialogue.h"

#include <gtest/gtest.h>

#include "mail/notification_sender.h"
#include "tests/support/fake_clock.h"
#include "tests/support/scripted_smtp_server.h"

namespace kiosk {
namespace {

using Strings = std::vector<std::string>;
using testing::ScriptedSmtpServer;

TEST(SmtpDialogueTls, NoLoginOrMessageWithoutTheTlsThatWasDue) {
    const struct {
        const char* tls;
        const char* ehlo;
        const char* startTls;  // the reply to STARTTLS
        const char* failure;
        Strings commands;
    } cases[] = {
        {"",
         "250-x\r\n250-AUTH LOGIN\r\n250 STARTTLS",
         "454 4.7.0 not now",
         "454 4.7.0 not now",
         {"EHLO k", "STARTTLS", "QUIT"}},
        {"",
         "250-x\r\n250-starttls\r\n250 AUTH=LOGIN",
         "220 go\r\n250 injected",
         "Сервер почты прислал данные до начала TLS",
         {"EHLO k", "STARTTLS"}},
        {"required",
         "250-x\r\n250 AUTH LOGIN",
         "",
         "Сервер почты не предлагает STARTTLS, а строка tls требует TLS: письмо не отправлено",
         {"EHLO k", "QUIT"}},
    };
    for (const auto& c : cases) {
        ScriptedSmtpServer server;
        server.Reply("EHLO", c.ehlo);
        server.Reply("STARTTLS", c.startTls);
        testing::FakeClock clock;
        MailTransport transport(clock);
        transport.port = server.Port();
        transport.heloName = "k";
        const MailSettings settings{.recipients = "ops@example.org",
                                    .host = "127.0.0.1",
                                    .login = "user",
                                    .password = "secret",
                                    .from = "kiosk@example.org",
                                    .tls = c.tls};
        EXPECT_EQ(NotificationSender(settings, transport).SendNotification("text"), c.failure);
        EXPECT_EQ(server.Commands(), c.commands);
    }
}

}  // namespace
}  // namespace kiosk
