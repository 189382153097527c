// Notification mail over STARTTLS against aiosmtpd with a certificate of a throwaway CA (trusted
// through "cafile"): what arrives over TLS, what plain servers still get, and what a certificate that
// does not verify stops.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <vector>

#include "mail/notification_pump.h"
#include "mail/notification_sender.h"
#include "os/tcp_socket.h"
#include "platform/linux/glib_ui.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_log.h"
#include "tests/support/smtp_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_ca.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

class MailTls : public ::testing::Test {
protected:
    Strings TlsServer(const ServerCertificate& certificate) {
        return {"--tls", certificate.certFile, certificate.keyFile, "--auth", "operator:s3cret"};
    }
    // Sends one notification the way the mail worker does; returns the errors it logged.
    Strings Send(const SmtpSink& sink) {
        MailTransport transport(ui, clock);
        transport.port = sink.Port();
        transport.heloName = "kiosk-test";
        transport.antiFreeze = true;  // the handshake's waits run the event loop as the others do
        NotificationSender sender(settings, transport);
        NotificationQueue queue;
        RecordingLog log;
        queue.QueueNotification("Ошибка терминала");
        PumpNotificationQueue(
            queue, [&](const std::string& text) { return sender.SendNotification(text); }, log);
        return log.Errors();
    }

    TestCa testCa;
    MailSettings settings{.recipients = "ops@example.org",
                          .host = "127.0.0.1",
                          .login = "operator",
                          .password = "s3cret",
                          .from = "kiosk@example.org",
                          .caFile = testCa.CaFile()};
    GlibUi ui;
    FakeClock clock;
};

TEST_F(MailTls, TheMessageAndTheLoginGoOverTlsWhenTheServerOffersIt) {
    SmtpSink sink(TlsServer(testCa.Issue({"127.0.0.1"})));
    EXPECT_EQ(Send(sink), Strings{});
    const std::vector<ReceivedMail> mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope, (Strings{"from kiosk@example.org", "to ops@example.org", "login operator",
                                          "tls", "auth over tls"}));
}

TEST_F(MailTls, AServerWithoutStartTlsGetsPlainMailUnlessTlsIsRequired) {
    const struct {
        const char* tls;
        size_t mails;
        const char* failure;
    } cases[] = {
        {"", 1, nullptr},
        {"required", 0, "Сервер почты не предлагает STARTTLS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tls);
        SmtpSink sink({"--auth", "operator:s3cret"});
        settings.tls = c.tls;
        const Strings errors = Send(sink);
        const std::vector<ReceivedMail> mails = sink.Mails();
        ASSERT_EQ(mails.size(), c.mails);
        if (c.mails != 0) EXPECT_EQ(mails[0].envelope.back(), "login operator");
        ASSERT_EQ(errors.size(), c.failure ? 1u : 0u);
        if (c.failure) EXPECT_TRUE(errors[0].starts_with(c.failure)) << errors[0];
    }
}

TEST_F(MailTls, ACertificateThatDoesNotVerifyStopsTheMailAndIsLogged) {
    const struct {
        const char* name;
        ServerCertificate certificate;
        const char* reason;
    } cases[] = {
        {"another host's", testCa.Issue({"mail.example.org"}), "IP address mismatch"},
        {"self-signed", testCa.Issue({"127.0.0.1"}, IssueKind::SelfSigned), "self-signed certificate"},
        {"expired", testCa.Issue({"127.0.0.1"}, IssueKind::Expired), "certificate has expired"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmtpSink sink(TlsServer(c.certificate));
        EXPECT_EQ(Send(sink),
                  Strings{std::string("Сертификат сервера почты не прошёл проверку: ") + c.reason});
        EXPECT_EQ(sink.Mails().size(), 0u);
    }
}

// The built program reads "tls" from [mail] and trusts the CAs of "cafile", a path relative to its
// folder. The mail server has to be on port 25, as the program always mails there.
TEST(ProgramMailTls, AStartUpErrorIsMailedOverTlsOnly) {
    try {
        TcpListener probe("127.0.0.1", 25, 1);
    } catch (const SocketError&) {
        GTEST_SKIP() << "port 25 is taken";
    }
    TestCa testCa;
    const ServerCertificate certificate = testCa.Issue({"127.0.0.1"});
    SmtpSink sink({"--port", "25", "--tls", certificate.certFile, certificate.keyFile, "--require-starttls"});
    TempDir dir, outputDir, config;
    const XvfbDisplay display;
    WriteFile(dir / "ca.pem", ReadFile(testCa.CaFile()));
    WriteFile(dir / "kiosk.cfg",
              "[options]\nstart\nindex.html\nprocess\nx.gif\ncafile\nca.pem\n"
              "[mail]\nhost\n127.0.0.1\nfrom\nkiosk@example.org\ntls\nrequired\n"
              "[errors]\nnotification\nops@example.org\n");
    ChildProcess program(KIOSK_BINARY, {}, dir.str(), (outputDir / "output.txt").string(),
                         {"XDG_CONFIG_HOME=" + config.str(), display.Environment()});
    const std::vector<ReceivedMail> mails = sink.WaitForMails(1);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    ASSERT_EQ(mails.size(), 1u) << ReadFile(outputDir / "output.txt");
    EXPECT_EQ(mails[0].envelope, (Strings{"from kiosk@example.org", "to ops@example.org", "tls"}));
}

}  // namespace
}  // namespace kiosk::testing
