// The SMTP dialogue of one notification, against a scripted server for the replies a real one does
// not give on demand.

#include "mail/notification_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stop_token>
#include <thread>

#include "mail/mail_thread.h"
#include "mail/notification_pump.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_log.h"
#include "tests/support/scripted_smtp_server.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedSmtpServer;
using Strings = std::vector<std::string>;

class NotificationSenderTest : public ::testing::Test {
protected:
    NotificationSenderTest() {
        settings.recipients = "ops@example.org, Дежурный <duty@example.org>";
        settings.host = "127.0.0.1";
        settings.from = "Киоск <kiosk@example.org>";
        settings.subject = "Ошибка";
    }
    MailTransport Transport() {
        MailTransport transport(clock);
        transport.port = server.Port();
        transport.heloName = "kiosk-7";
        transport.utcOffsetMinutes = [](DateTime) { return 180; };
        transport.replyTimeout = replyTimeout;
        transport.stop = stop.get_token();
        return transport;
    }
    std::string Send(const std::string& text = "Не работает") {
        return NotificationSender(settings, Transport()).SendNotification(text);
    }

    ScriptedSmtpServer server;
    MailSettings settings;
    testing::FakeClock clock;
    Milliseconds replyTimeout = kSmtpReplyTimeout;
    std::stop_source stop;
};

TEST_F(NotificationSenderTest, AWillingServerGetsTheWholeDialogueInOrder) {
    EXPECT_EQ(Send("line one\r\n.dot"), "");
    EXPECT_EQ(server.Commands(),
              (Strings{"EHLO kiosk-7", "RSET", "MAIL FROM: <kiosk@example.org>", "RCPT TO:<ops@example.org>",
                       "RCPT TO:<duty@example.org>", "DATA", "QUIT"}));
    const Strings lines = server.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "..dot"), lines.end());
    // The display name arrives in windows-1251 bytes.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "From: \xCA\xE8\xEE\xF1\xEA <kiosk@example.org>"),
              lines.end());
}

TEST_F(NotificationSenderTest, WithoutEhloItFallsBackToHeloAndDoesNotAuthenticate) {
    server.Reply("EHLO", "502 5.5.1 not implemented");
    settings.login = "user";
    settings.password = "secret";
    EXPECT_EQ(Send(), "");
    const Strings commands = server.Commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "EHLO kiosk-7");
    EXPECT_EQ(commands[1], "HELO kiosk-7");
    EXPECT_EQ(commands[2], "RSET");
}

TEST_F(NotificationSenderTest, ARefusedRecipientReturnsTheServersReplyAfterAnotherRset) {
    server.Reply("RCPT", "550 5.1.1 <ops@example.org>: no such user");
    EXPECT_EQ(Send(), "550 5.1.1 <ops@example.org>: no such user");
    EXPECT_EQ(server.Commands(), (Strings{"EHLO kiosk-7", "RSET", "MAIL FROM: <kiosk@example.org>",
                                          "RCPT TO:<ops@example.org>", "RSET", "QUIT"}));
}

TEST_F(NotificationSenderTest, AGreetingOtherThan220EndsTheDialogueWithItsText) {
    server.Reply("greeting", "554-busy\r\n554 try later");
    EXPECT_EQ(Send(), "554-busy\r\n554 try later");
    EXPECT_EQ(server.Commands(), Strings{"QUIT"});
}

TEST_F(NotificationSenderTest, WithMailingOffNothingIsSentOrReported) {
    for (std::string MailSettings::*field :
         {&MailSettings::recipients, &MailSettings::host, &MailSettings::from}) {
        MailSettings saved = settings;
        settings.*field = "";
        EXPECT_EQ(Send(), "");
        settings = saved;
    }
    EXPECT_EQ(server.Connections(), 0);
}

// Failures that used to escape the send (and end the mail worker) come back as messages now.
TEST_F(NotificationSenderTest, AServerClosingInTheMiddleIsAFailureMessage) {
    server.Reply("MAIL", ScriptedSmtpServer::kClose);
    EXPECT_EQ(Send(), "Connection Closed Gracefully.");
    EXPECT_EQ(server.Commands(), (Strings{"EHLO kiosk-7", "RSET", "MAIL FROM: <kiosk@example.org>"}));
}

TEST_F(NotificationSenderTest, AReplyThatNeverComesTimesOutWithoutQuit) {
    server.Reply(".", ScriptedSmtpServer::kSilent);
    replyTimeout = 400ms;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Send(), "Read timed out.");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(server.Lines().back(), ".");
    EXPECT_EQ(server.Commands().back(), "DATA");
}

// A listener that accepts nothing, its backlog full: further connection attempts hang.
struct StuckListener {
    StuckListener() {
        for (TcpSocket& socket : waiting) {
            try {
                socket.Connect("127.0.0.1", listener.Port(), 200ms);
            } catch (const SocketTimeout&) {
            }
        }
    }
    TcpListener listener{"127.0.0.1", 0, 0};
    std::vector<TcpSocket> waiting = std::vector<TcpSocket>(4);
};

// A stop from another thread ends the send at once, whatever it waits for: the connect, the greeting,
// a reply after the data; a stop before the send starts sends nothing.
TEST_F(NotificationSenderTest, AStopAbandonsTheSendAtOnceWhateverItWaitsFor) {
    StuckListener stuck;
    const struct {
        const char* silentAfter;
        bool stuckConnect;
        Milliseconds stopAfter;
    } cases[] = {
        {".", false, 300ms}, {"greeting", false, 300ms}, {"", true, 300ms}, {"greeting", false, 0ms}};
    replyTimeout = 60s;
    for (const auto& c : cases) {
        stop = std::stop_source();
        ScriptedSmtpServer silent;
        if (*c.silentAfter) silent.Reply(c.silentAfter, ScriptedSmtpServer::kSilent);
        MailTransport transport = Transport();
        transport.connectTimeout = 60s;
        transport.port = c.stuckConnect ? stuck.listener.Port() : silent.Port();
        if (c.stopAfter == 0ms) stop.request_stop();
        std::jthread stopper([&] {
            std::this_thread::sleep_for(c.stopAfter);
            stop.request_stop();
        });
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(NotificationSender(settings, transport).SendNotification("x"),
                  "Отправка прервана: программа завершается")
            << c.silentAfter;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << c.silentAfter;
    }
}

TEST_F(NotificationSenderTest, AnUnreachableServerIsASocketError) {
    MailTransport transport = Transport();
    {
        TcpListener closed("127.0.0.1", 0, 1);
        transport.port = closed.Port();
    }
    EXPECT_TRUE(NotificationSender(settings, transport).SendNotification("x").starts_with("Socket Error # "));
    settings.host = "no-such-host.invalid";
    EXPECT_EQ(NotificationSender(settings, Transport()).SendNotification("x"),
              "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(NotificationSenderTest, AConnectThatTakesTooLongTimesOut) {
    StuckListener stuck;
    MailTransport transport = Transport();
    transport.port = stuck.listener.Port();
    transport.connectTimeout = 500ms;
    EXPECT_EQ(NotificationSender(settings, transport).SendNotification("x"), "Connect timed out.");
}

// Through the worker and the pump: a server that closes in the middle fails every digest; each failure
// is logged, the texts stay queued for the next try, and the worker keeps going.
TEST_F(NotificationSenderTest, TheWorkerGoesOnAfterAFailureOfAnyKind) {
    server.Reply("DATA", ScriptedSmtpServer::kClose);
    auto queue = std::make_shared<NotificationQueue>();
    testing::RecordingLog log;
    NotificationSender sender(settings, Transport());
    MailThread worker(
        queue,
        [&](std::stop_token) {
            PumpNotificationQueue(
                *queue, [&](const std::string& text) { return sender.SendNotification(text); }, log);
        },
        0ms);
    queue->QueueNotification("one");
    ASSERT_TRUE(testing::WaitUntil([&] { return !log.Errors().empty(); }, 5s));
    queue->QueueNotification("two");
    const int connections = server.Connections();
    ASSERT_TRUE(testing::WaitUntil([&] { return server.Connections() >= connections + 2; }, 5s));
    EXPECT_EQ(queue->Texts(), (Strings{"one", "two"}));
    EXPECT_EQ(log.Errors().front(), "Connection Closed Gracefully.");
}

}  // namespace
}  // namespace kiosk
