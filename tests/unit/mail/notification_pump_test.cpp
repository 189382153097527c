#include "mail/notification_pump.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/key_value_table.h"
#include "log/event_log.h"
#include "mail/notification_queue.h"
#include "tests/support/fake_clock.h"
#include "tests/support/temp_dir.h"
#include "tests/unit/mail/fake_send.h"

namespace kiosk {
namespace {

using testing::FakeSend;
using Strings = std::vector<std::string>;

// A queue with the event log that feeds it, writing into a directory of its own.
class NotificationPumpTest : public ::testing::Test {
protected:
    NotificationPumpTest() {
        options.AddRow("log=31");
        log.AttachOptions(&options);
    }
    testing::TempDir dir;
    testing::FakeClock clock;
    NotificationQueue queue;
    EventLog log{clock, queue, dir.str()};
    KeyValueTable options;
    FakeSend send;
};

TEST_F(NotificationPumpTest, WaitingTextsGoAsOneDigestWhichStaysQueuedUntilItIsSent) {
    send.failure = "Socket Error # 111\r\nConnection refused.";
    const auto pump = [&] { PumpNotificationQueue(queue, std::ref(send), log); };

    log.WriteLog(LogLevel::Error, "first");
    log.WriteLog(LogLevel::Error, "second");
    pump();
    // The digest stays; the failure became an error entry (one line), and so a text of its own.
    const std::string failure = "Socket Error # 111 Connection refused.";
    EXPECT_EQ(queue.Texts(), (Strings{"first", "second", failure}));
    pump();
    // The same failure again: the log skips the repetition, and the chain ends.
    EXPECT_EQ(queue.Texts(), (Strings{"first", "second", failure}));

    send.failure.clear();
    pump();
    pump();  // nothing waits: nothing is sent
    EXPECT_EQ(send.Sent(), (Strings{"first\r\nsecond\r\n", "first\r\nsecond\r\n" + failure + "\r\n",
                                    "first\r\nsecond\r\n" + failure + "\r\n"}));
    EXPECT_TRUE(queue.Empty());
}

TEST_F(NotificationPumpTest, ADigestHoldsAtMost200TextsAndCountsTheRestWhichGoNext) {
    for (size_t i = 0; i < kMostDigestTexts + 3; ++i) queue.QueueNotification(std::to_string(i));
    PumpNotificationQueue(queue, std::ref(send), log);
    PumpNotificationQueue(queue, std::ref(send), log);
    ASSERT_EQ(send.Sent().size(), 2u);
    EXPECT_TRUE(send.Sent()[0].starts_with("0\r\n1\r\n"));
    EXPECT_TRUE(send.Sent()[0].ends_with("\r\n199\r\n… и ещё 3 записи (в следующем письме)\r\n"));
    EXPECT_EQ(send.Sent()[1], "200\r\n201\r\n202\r\n");
}

TEST_F(NotificationPumpTest, TextsAFullQueueDroppedAreToldInOneEntry) {
    for (size_t i = 0; i < NotificationQueue::kMostTexts + 3; ++i) queue.QueueNotification(std::to_string(i));
    PumpNotificationQueue(queue, std::ref(send), log);
    EXPECT_EQ(queue.Texts().back(), "Уведомлений не отправлено (очередь полна): 3");
    PumpNotificationQueue(queue, std::ref(send), log);
    EXPECT_EQ(queue.Texts().back(), "Уведомлений не отправлено (очередь полна): 3");  // told once
}

}  // namespace
}  // namespace kiosk
