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

TEST_F(NotificationPumpTest, EveryTextLeavesTheQueueAndAFailureIsLoggedAndMailedOnce) {
    send.failure = "Socket Error # 111\r\nConnection refused.";
    const auto pump = [&] { PumpNotificationQueue(queue, std::ref(send), log); };

    log.WriteLog(LogLevel::Error, "first");
    pump();
    // The failure became an error entry, and so a notification of its own.
    EXPECT_EQ(queue.Texts(), Strings{send.failure});
    pump();
    // Its own send failed the same way: the log skips the repetition, and the chain ends.
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(send.Sent(), (Strings{"first", send.failure}));

    const std::string failure = send.failure;
    send.failure.clear();
    log.WriteLog(LogLevel::Error, "second");
    pump();
    pump();  // nothing waits: nothing is sent
    EXPECT_EQ(send.Sent(), (Strings{"first", failure, "second"}));
    EXPECT_TRUE(queue.Empty());
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
