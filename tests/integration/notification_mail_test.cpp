// Notification mail against a real SMTP server (aiosmtpd, run by tests/support/smtp_sink.py): through
// the event log, the queue, the mail worker on its own thread and the sender; and end to end,
// the built program mailing an error of its start-up.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/key_value_table.h"
#include "log/event_log.h"
#include "mail/mail_thread.h"
#include "mail/notification_pump.h"
#include "mail/notification_sender.h"
#include "os/tcp_socket.h"
#include "platform/linux/glib_ui.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_clock.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/smtp_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_display.h"
#include "text/cp1251.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The built program mails to port 25 of this host. ctest runs tests side by side, so the tests that
// listen there hold this lock for their whole run, one after another; a port taken by anything else
// skips them.
class Port25Turn {
public:
    Port25Turn() : fd_(::open("/tmp/kiosk-tests-port-25.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0666)) {
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~Port25Turn() {
        if (fd_ >= 0) ::close(fd_);
    }
    Port25Turn(const Port25Turn&) = delete;
    Port25Turn& operator=(const Port25Turn&) = delete;

    static bool Free() {
        try {
            TcpListener probe("127.0.0.1", 25, 1);
            return true;
        } catch (const SocketError&) {
            return false;
        }
    }

private:
    int fd_;
};

// The body of a received message: what follows the empty line after the headers.
std::string BodyOf(const std::string& content) {
    return content.substr(content.find("\r\n\r\n") + 4);
}

std::string HeadersOf(const std::string& content) {
    return content.substr(0, content.find("\r\n\r\n") + 2);
}

// The mail path of the program: errors written to the log reach the queue, and the worker sends them
// on its own thread.
class MailChain : public ::testing::Test {
protected:
    void Start(SmtpSink& sink) {
        transport = std::make_unique<MailTransport>(clock);
        transport->port = sink.Port();
        transport->heloName = "kiosk-test";
        transport->utcOffsetMinutes = [](DateTime) { return 180; };
        sender = std::make_unique<NotificationSender>(settings, *transport);
        options.AddRow("log=31");
        log.AttachOptions(&options);
        worker = std::make_unique<MailThread>(
            queue,
            [this](std::stop_token) {
                PumpNotificationQueue(
                    *queue, [this](const std::string& text) { return sender->SendNotification(text); }, log);
            },
            kPause);
    }
    void TearDown() override { worker.reset(); }
    std::function<void()> Loop() {
        return [this] { ui.ProcessMessages(); };
    }

    static constexpr std::chrono::milliseconds kPause{300};
    MailSettings settings{.recipients = "ops@example.org, Дежурный <duty@example.org>",
                          .host = "127.0.0.1",
                          .login = "",
                          .password = "",
                          .from = "Киоск <kiosk@example.org>",
                          .subject = "Ошибка терминала",
                          .agent = "Kiosk Shell"};
    GlibUi ui;
    FakeClock clock{EncodeDateTime({2026, 12, 8, 14, 5, 9, 0})};
    TempDir logDir;
    std::shared_ptr<NotificationQueue> queue = std::make_shared<NotificationQueue>();
    EventLog log{clock, *queue, logDir.str()};
    KeyValueTable options;
    std::unique_ptr<MailTransport> transport;
    std::unique_ptr<NotificationSender> sender;
    std::unique_ptr<MailThread> worker;
};

TEST_F(MailChain, AnErrorEntryArrivesAsOneLineWithItsHeadersAndItsWindows1251Body) {
    SmtpSink sink({});
    queue->Hold();  // the three go in one digest
    Start(sink);
    log.WriteLog(LogLevel::Error, "Файл: x.gif - Невозможно загрузить\r\nвторая строка");
    queue->QueueNotification(".точка");
    queue->QueueNotification(".");
    queue->Release();
    const std::vector<ReceivedMail> mails = sink.WaitForMails(1, Loop());
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope,
              (Strings{"from kiosk@example.org", "to ops@example.org", "to duty@example.org"}));
    EXPECT_EQ(HeadersOf(mails[0].content),
              Utf8ToCp1251("From: Киоск <kiosk@example.org>\r\n"
                           "Subject: =?Windows-1251?B?zvjo4ergIPLl8Ozo7eDr4A==?=\r\n"
                           "To: ops@example.org, Дежурный <duty@example.org>\r\n"
                           "Content-Type: text/plain;\r\n"
                           "\tcharset=\"windows-1251\"\r\n"
                           "MIME-Version: 1.0\r\n"
                           "Content-Transfer-Encoding: 8bit\r\n"
                           "Date: Tue, 8 Dec 2026 14:05:09 +0300\r\n"
                           "X-Mailer: Kiosk Shell\r\n"));
    // Lines that begin with a dot, even a lone one, arrive as they were.
    EXPECT_EQ(BodyOf(mails[0].content),
              Utf8ToCp1251("Файл: x.gif - Невозможно загрузить вторая строка\r\n.точка\r\n.\r\n"));
}

TEST_F(MailChain, WithALoginAndAServerOfferingAuthLoginItAuthenticates) {
    SmtpSink sink({"--auth", "operator:s3cret"});
    settings.login = "operator";
    settings.password = "s3cret";
    Start(sink);
    queue->QueueNotification("authenticated");
    const std::vector<ReceivedMail> mails = sink.WaitForMails(1, Loop());
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope.back(), "login operator");
}

TEST_F(MailChain, WithAServerThatDoesNotListLoginItSendsWithoutAuthenticating) {
    SmtpSink sink({"--auth", "operator:s3cret", "--no-login"});
    settings.login = "operator";
    settings.password = "s3cret";
    Start(sink);
    queue->QueueNotification("plain");
    const std::vector<ReceivedMail> mails = sink.WaitForMails(1, Loop());
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelope.back(), "to duty@example.org");
    EXPECT_EQ(BodyOf(mails[0].content), "plain\r\n");
}

TEST_F(MailChain, WaitingTextsAreMailedAsDigestsAndTheLastTakenIsNotQueuedAgain) {
    SmtpSink sink({});
    queue->Hold();
    Start(sink);
    for (const char* text : {"one", "two", "three"}) queue->QueueNotification(text);
    queue->Release();
    ASSERT_EQ(sink.WaitForMails(1, Loop()).size(), 1u);
    queue->QueueNotification("three");  // the same as the last one: dropped
    queue->QueueNotification("four");
    queue->QueueNotification("three");  // after a different one: mailed again
    sink.WaitForMails(2, Loop());
    for (int i = 0; i < 10; ++i) ui.ProcessMessages(), std::this_thread::sleep_for(20ms);
    Strings bodies;
    for (const ReceivedMail& mail : sink.Mails()) bodies.push_back(BodyOf(mail.content));
    EXPECT_EQ(bodies, (Strings{"one\r\ntwo\r\nthree\r\n", "four\r\nthree\r\n"}));
}

// The built program, with an error at start-up and mail settings pointing at port 25 of this host.
TEST(ProgramMail, AStartUpErrorIsMailedToTheOperators) {
    const Port25Turn turn;
    if (!Port25Turn::Free()) GTEST_SKIP() << "port 25 is taken";
    SmtpSink sink({"--port", "25"});
    TempDir dir, outputDir, config;
    const XvfbDisplay display;
    WriteFile(dir / "kiosk.cfg",
              "\xEF\xBB\xBF[options]\nstart\nindex.html\nprocess\nx.gif\n"
              "[mail]\nhost\n127.0.0.1\nfrom\nkiosk@example.org\nsubject\nКиоск\n"
              "[errors]\nnotification\nops@example.org\n");
    ChildProcess program(KIOSK_BINARY, {}, dir.str(), (outputDir / "output.txt").string(),
                         {"XDG_CONFIG_HOME=" + config.str(), display.Environment()});
    const std::vector<ReceivedMail> mails = sink.WaitForMails(1);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    ASSERT_EQ(mails.size(), 1u) << ReadFile(outputDir / "output.txt");
    EXPECT_EQ(mails[0].envelope, (Strings{"from kiosk@example.org", "to ops@example.org"}));
    EXPECT_EQ(BodyOf(mails[0].content), Utf8ToCp1251("Файл: x.gif - Невозможно загрузить\r\n"));
    EXPECT_NE(mails[0].content.find("Subject: =?Windows-1251?B?yuju8eo=?=\r\n"), std::string::npos);
}

// The built program as the proxy of a page that makes 300 failing requests to one host in a burst.
class ProgramFlood : public KioskRun {};

TEST_F(ProgramFlood, FailuresOfOneHostAreMergedInTheLogAndMailedAsOneDigest) {
    const Port25Turn turn;
    if (!Port25Turn::Free()) GTEST_SKIP() << "port 25 is taken";
    SmtpSink sink({"--port", "25"});
    StartWith(
        "[mail]\nhost\n127.0.0.1\nfrom\nkiosk@example.org\nsubject\nKiosk\n"
        "[errors]\nnotification\nops@example.org\n");
    const std::string closed = "127.0.0.1:" + std::to_string(FreePort());
    TempDir scratch;
    ChildProcess curl("/usr/bin/curl",
                      {"-s", "-o", "/dev/null", "-x", "http://127.0.0.1:" + std::to_string(proxyPort),
                       "http://" + closed + "/f?[1-300]"},
                      scratch.str(), (scratch / "out").string());
    ASSERT_TRUE(curl.WaitForExit(60s).has_value());
    const std::vector<ReceivedMail> mails = sink.WaitForMails(1);
    const std::string first = closed + "/f?1: Socket Error # 111 Connection refused.";
    ASSERT_GE(mails.size(), 1u) << ReadFile(Output());
    EXPECT_NE(BodyOf(mails[0].content).find(first + "\r\n"), std::string::npos) << mails[0].content;
    EXPECT_EQ(Stop(), 0);

    // The count line comes at shutdown, which ends the open bursts; the queue is closed by then.
    const Strings errors = LogMessages(dir.path(), ".err");
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), first);
    EXPECT_LE(errors.size(), 5u);
    EXPECT_NE(std::find_if(errors.begin(), errors.end(),
                           [&](const std::string& line) {
                               return line.starts_with(closed +
                                                       "/…: Socket Error # 111 Connection refused. — "
                                                       "повторилось ещё 299 раз за ");
                           }),
              errors.end())
        << ::testing::PrintToString(errors);
    EXPECT_LE(sink.Mails().size(), 2u);
}

// A mail server on port 25 that takes connections and never greets; they stay open until it is freed.
class SilentMailServer {
public:
    SilentMailServer()
        : acceptor_([this] {
              while (std::optional<TcpSocket> socket = listener_.Accept()) {
                  std::lock_guard lock(mutex_);
                  taken_.push_back(std::move(*socket));
              }
          }) {}
    ~SilentMailServer() {
        listener_.Shutdown();
        acceptor_.join();
    }
    bool Reached() const {
        return WaitUntil(
            [this] {
                std::lock_guard lock(mutex_);
                return !taken_.empty();
            },
            20s);
    }

private:
    TcpListener listener_{"127.0.0.1", 25, 8};
    mutable std::mutex mutex_;
    std::vector<TcpSocket> taken_;
    std::thread acceptor_;
};

// The built program stopped with two errors of its start-up queued for a silent mail server: at once
// after start-up (while the worker starts its send), and while it waits for the greeting. The send is
// abandoned, no other one starts, and the program ends with status 0, the user's proxy setting put back.
class ProgramSilentMail : public KioskRun, public ::testing::WithParamInterface<bool> {};

TEST_P(ProgramSilentMail, StoppingItAbandonsTheMail) {
    const bool waitForTheConnection = GetParam();
    const Port25Turn turn;
    if (!Port25Turn::Free()) GTEST_SKIP() << "port 25 is taken";
    const SilentMailServer server;
    StartWith(
        "process\nx.gif\nmetrics\nno-such-folder/metrics.prom\n"
        "[mail]\nhost\n127.0.0.1\nfrom\nkiosk@example.org\nsubject\nKiosk\n"
        "[errors]\nnotification\nops@example.org\n");
    if (waitForTheConnection) {
        ASSERT_TRUE(server.Reached()) << ReadFile(Output());
    }
    const auto stopping = std::chrono::steady_clock::now();
    EXPECT_EQ(Stop(), 0);
    RecordProperty("shutdown_ms", static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                       std::chrono::steady_clock::now() - stopping)
                                                       .count()));
    EXPECT_EQ(ReadFile(config / "kiosk-shell" / "user-settings"), kNewUsersProxySetting);
    const Strings errors = LogMessages(dir.path(), ".err");
    // One send at most, and it was abandoned; the one waiting for its server for sure.
    const auto abandoned =
        std::count(errors.begin(), errors.end(), "Отправка прервана: программа завершается");
    EXPECT_EQ(abandoned, waitForTheConnection ? 1 : std::min<decltype(abandoned)>(abandoned, 1))
        << ::testing::PrintToString(errors);
}

INSTANTIATE_TEST_SUITE_P(WhenStopped, ProgramSilentMail, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "WaitingForTheGreeting" : "AtOnce"; });

}  // namespace
}  // namespace kiosk::testing
