// Notification mail over STARTTLS against aiosmtpd with certificates of a throwaway CA, trusted
// through "cafile": the login and the message go over TLS when the server offers it, plain servers
// get them as the "tls" row says, and a certificate that does not verify stops the mail.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/notification_pump.h"
#include "mail/notification_sender.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_log.h"
#include "tests/support/smtp_sink.h"
#include "tests/support/test_ca.h"

namespace kiosk::testing {
namespace {

using Strings = std::vector<std::string>;

class MailTls : public ::testing::Test {
protected:
    // Mails one text with a login as the mail worker does; returns the errors logged.
    Strings Send(const SmtpSink& sink, const std::string& tls) {
        const MailSettings settings{.recipients = "ops@example.org",
                                    .host = "127.0.0.1",
                                    .login = "operator",
                                    .password = "s3cret",
                                    .from = "kiosk@example.org",
                                    .tls = tls,
                                    .caFile = testCa.CaFile()};
        MailTransport transport(clock);
        transport.port = sink.Port();
        NotificationSender sender(settings, transport);
        NotificationQueue queue;
        RecordingLog log;
        queue.QueueNotification("Ошибка");
        PumpNotificationQueue(
            queue, [&](const std::string& text) { return sender.SendNotification(text); }, log);
        return log.Errors();
    }
    static Strings Server(const ServerCertificate* certificate) {
        Strings options{"--auth", "operator:s3cret"};  // AUTH offered with and without TLS
        if (certificate)
            options.insert(options.end(), {"--tls", certificate->certFile, certificate->keyFile});
        return options;
    }

    TestCa testCa;
    FakeClock clock;
};

TEST_F(MailTls, WhatArrivesByServerAndTlsRow) {
    const ServerCertificate valid = testCa.Issue({"127.0.0.1"});
    const ServerCertificate otherHost = testCa.Issue({"mail.example.org"});
    const ServerCertificate selfSigned = testCa.Issue({"127.0.0.1"}, IssueKind::SelfSigned);
    const Strings plain{"from kiosk@example.org", "to ops@example.org", "login operator"};
    const Strings overTls{"from kiosk@example.org", "to ops@example.org", "login operator", "tls",
                          "auth over tls"};
    const std::string unverified = "Сертификат сервера почты не прошёл проверку: ";
    const struct {
        const ServerCertificate* certificate;  // none: the server offers no STARTTLS
        const char* tls;
        Strings envelope;     // empty: no mail
        std::string failure;  // how the logged error begins
    } cases[] = {{&valid, "", overTls, ""},
                 {nullptr, "", plain, ""},
                 {&valid, "off", plain, ""},
                 {nullptr, "required", {}, "Сервер почты не предлагает STARTTLS"},
                 {&otherHost, "", {}, unverified + "IP address mismatch"},
                 {&selfSigned, "", {}, unverified + "self-signed certificate"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure + " tls=" + c.tls);
        SmtpSink sink(Server(c.certificate));
        const Strings errors = Send(sink, c.tls);
        const std::vector<ReceivedMail> mails = sink.Mails();
        EXPECT_EQ(mails.empty() ? Strings{} : mails[0].envelope, c.envelope);
        ASSERT_EQ(errors.size(), c.failure.empty() ? 0u : 1u) << (errors.empty() ? "" : errors[0]);
        if (!errors.empty()) {
            EXPECT_EQ(errors[0].substr(0, c.failure.size()), c.failure);
        }
    }
}

}  // namespace
}  // namespace kiosk::testing
