// The notification queue, the mail worker that paces it and the queue pump.

#include "mail/notification_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "config/key_value_table.h"
#include "log/event_log.h"
#include "mail/notification_pump.h"
#include "mail/send_mail_thread.h"
#include "platform/linux/glib_ui.h"
#include "tests/support/child_process.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::WaitUntil;
using Strings = std::vector<std::string>;

// A send that records the texts and fails with the configured message.
class FakeSend {
public:
    std::string operator()(const std::string& text) {
        std::lock_guard lock(mutex_);
        sent_.push_back(text);
        return failure;
    }
    Strings Sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::string failure;

private:
    mutable std::mutex mutex_;
    Strings sent_;
};

TEST(NotificationQueue, DropsATextThatRepeatsTheOneBeforeItTakenOrWaiting) {
    NotificationQueue queue;
    queue.QueueNotification("a");
    queue.QueueNotification("a");
    queue.QueueNotification("b");
    EXPECT_EQ(queue.Texts(), (Strings{"a", "b"}));

    EXPECT_EQ(queue.TakeFirst(), "a");
    EXPECT_EQ(queue.LastNotification(), "a");
    queue.QueueNotification("a");  // after "b": a text of its own
    queue.QueueNotification("A");  // the comparison is exact
    EXPECT_EQ(queue.Texts(), (Strings{"a", "b", "a", "A"}));
    queue.RemoveFirst();
    EXPECT_EQ(queue.Texts(), (Strings{"b", "a", "A"}));
}

TEST(NotificationQueue, ATextEqualToTheOneBeingSentOrLastSentIsNotQueued) {
    NotificationQueue queue;
    queue.QueueNotification("a");
    EXPECT_EQ(queue.TakeFirst(), "a");
    queue.QueueNotification("a");  // while it is being sent
    EXPECT_EQ(queue.Texts(), Strings{"a"});
    queue.RemoveFirst();
    queue.QueueNotification("a");  // after it was sent
    EXPECT_TRUE(queue.Empty());

    queue.ResetLastNotification();
    queue.QueueNotification("a");
    EXPECT_EQ(queue.Texts(), Strings{"a"});
    queue.Close();
    queue.QueueNotification("c");
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.TakeFirst(), std::nullopt);
}

TEST(NotificationPump, EveryTextLeavesTheQueueAndAFailureIsLoggedAndMailedOnce) {
    testing::TempDir dir;
    testing::FakeClock clock;
    NotificationQueue queue;
    EventLog log(clock, queue, dir.str());
    KeyValueTable options;
    options.AddRow("log=31");
    log.AttachOptions(&options);
    FakeSend send;
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

class MailWorkerTest : public ::testing::Test {
protected:
    std::function<void()> Pump() {
        return [this] { PumpNotificationQueue(*queue, std::ref(send), log); };
    }
    testing::EventRecord record;
    testing::FakeUi fakeUi{record};
    std::shared_ptr<NotificationQueue> queue = std::make_shared<NotificationQueue>();
    FakeSend send;
    testing::RecordingLog log;
};

TEST_F(MailWorkerTest, SleepsSuspendedUntilTheFirstTextThenSendsEachInTurnAndWakesForLaterOnes) {
    tsendmailthread worker(fakeUi, queue, Pump());
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(worker.Suspended());
    EXPECT_TRUE(send.Sent().empty());

    for (const char* text : {"one", "two", "three"}) queue->QueueNotification(text);
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 3; }, 5s));
    EXPECT_EQ(send.Sent(), (Strings{"one", "two", "three"}));
    EXPECT_FALSE(worker.Suspended());

    std::this_thread::sleep_for(50ms);  // asleep on the empty queue now
    queue->QueueNotification("four");
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 4; }, 5s));
    EXPECT_TRUE(queue->Empty());
    EXPECT_FALSE(worker.Terminated());
}

TEST_F(MailWorkerTest, AFailedSendIsLoggedAndTheWorkerGoesOn) {
    send.failure = "Connection Closed Gracefully.";
    tsendmailthread worker(fakeUi, queue, Pump());
    queue->QueueNotification("one");
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() >= 1; }, 5s));
    queue->QueueNotification("two");
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 2; }, 5s));
    EXPECT_TRUE(WaitUntil([&] { return queue->Empty(); }, 5s));
    EXPECT_EQ(log.Errors(), (Strings{"Connection Closed Gracefully.", "Connection Closed Gracefully."}));
}

// The real event loop on this thread, which is the main thread of the worker.
class MailWorkerOnGlib : public MailWorkerTest {
protected:
    GlibUi ui;
};

TEST_F(MailWorkerOnGlib, ThePumpRunsOnTheMainThread) {
    std::atomic<bool> onMainThread{true};
    const std::thread::id mainThread = std::this_thread::get_id();
    tsendmailthread worker(ui, queue, [&, pump = Pump()] {
        onMainThread = onMainThread && std::this_thread::get_id() == mainThread;
        pump();
    });
    queue->QueueNotification("one");
    queue->QueueNotification("two");
    ASSERT_TRUE(WaitUntil(
        [&] {
            ui.ProcessMessages();
            return send.Sent().size() == 2;
        },
        5s));
    EXPECT_TRUE(onMainThread);
}

TEST_F(MailWorkerOnGlib, StoppingAWorkerThatWaitsForTheMainThreadDoesNotHangAndItsPassNeverRuns) {
    std::atomic<int> passes{0};
    auto worker = std::make_unique<tsendmailthread>(ui, queue, [&] { ++passes; });
    queue->QueueNotification("text");
    ASSERT_TRUE(WaitUntil([&] { return !worker->Suspended(); }, 5s));
    std::this_thread::sleep_for(50ms);  // its pass is queued on the loop, which does not run

    const auto started = std::chrono::steady_clock::now();
    worker->Suspend();
    worker->Terminate();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);

    // The loop gets to the queued pass only now, when the worker is gone.
    queue.reset();
    for (int i = 0; i < 5; ++i) ui.ProcessMessages();
    EXPECT_EQ(passes, 0);
}

}  // namespace
}  // namespace kiosk
