// The mail worker that paces the queue, on a fake main loop and on GLib's.

#include "mail/send_mail_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "mail/notification_pump.h"
#include "mail/notification_queue.h"
#include "platform/linux/glib_ui.h"
#include "tests/support/child_process.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_log.h"
#include "tests/unit/mail/fake_send.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::FakeSend;
using testing::WaitUntil;
using Strings = std::vector<std::string>;

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

TEST_F(MailWorkerTest, SleepsSuspendedUntilTheFirstTextThenSendsDigestsAndWakesForLaterOnes) {
    tsendmailthread worker(fakeUi, queue, Pump(), 0ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(worker.Suspended());
    EXPECT_TRUE(send.Sent().empty());

    queue->Hold();  // the three wait together
    for (const char* text : {"one", "two", "three"}) queue->QueueNotification(text);
    queue->Release();
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 1; }, 5s));
    EXPECT_EQ(send.Sent(), (Strings{"one\r\ntwo\r\nthree\r\n"}));
    EXPECT_FALSE(worker.Suspended());

    std::this_thread::sleep_for(50ms);  // asleep on the empty queue now
    queue->QueueNotification("four");
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 2; }, 5s));
    EXPECT_TRUE(WaitUntil([&] { return queue->Empty(); }, 5s));
    EXPECT_FALSE(worker.Terminated());
}

TEST_F(MailWorkerTest, AfterADigestItRestsSoThatLaterTextsWaitForTheNextAndStopsAtOnceWhileResting) {
    auto worker = std::make_unique<tsendmailthread>(fakeUi, queue, Pump(), 1h);
    queue->QueueNotification("one");
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 1; }, 5s));
    queue->QueueNotification("two");
    queue->QueueNotification("three");
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(send.Sent(), Strings{"one\r\n"});

    tsendmailthread next(fakeUi, queue, Pump(), 1h);
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 2; }, 5s));
    EXPECT_EQ(send.Sent().back(), "two\r\nthree\r\n");
}

// The real event loop on this thread, which is the main thread of the worker.
class MailWorkerOnGlib : public MailWorkerTest {
protected:
    GlibUi ui;
};

TEST_F(MailWorkerOnGlib, ThePumpRunsOnTheMainThread) {
    std::atomic<bool> onMainThread{true};
    const std::thread::id mainThread = std::this_thread::get_id();
    tsendmailthread worker(
        ui, queue,
        [&, pump = Pump()] {
            onMainThread = onMainThread && std::this_thread::get_id() == mainThread;
            pump();
        },
        0ms);
    queue->QueueNotification("one");
    queue->QueueNotification("two");
    ASSERT_TRUE(WaitUntil(
        [&] {
            ui.ProcessMessages();
            return queue->Empty();
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
