// The mail worker that paces the queue and sends on its own thread.

#include "mail/mail_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "mail/notification_pump.h"
#include "mail/notification_queue.h"
#include "tests/support/child_process.h"
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
    MailPump Pump() {
        return [this](std::stop_token) { PumpNotificationQueue(*queue, std::ref(send), log); };
    }
    std::shared_ptr<NotificationQueue> queue = std::make_shared<NotificationQueue>();
    FakeSend send;
    testing::RecordingLog log;
};

TEST_F(MailWorkerTest, SleepsSuspendedUntilTheFirstTextThenSendsDigestsAndWakesForLaterOnes) {
    MailThread worker(queue, Pump(), 0ms);
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
    auto worker = std::make_unique<MailThread>(queue, Pump(), 1h);
    queue->QueueNotification("one");
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 1; }, 5s));
    queue->QueueNotification("two");
    queue->QueueNotification("three");
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(send.Sent(), Strings{"one\r\n"});

    MailThread next(queue, Pump(), 1h);
    ASSERT_TRUE(WaitUntil([&] { return send.Sent().size() == 2; }, 5s));
    EXPECT_EQ(send.Sent().back(), "two\r\nthree\r\n");
}

TEST_F(MailWorkerTest, ThePumpRunsOnTheWorkersOwnThreadWithoutTheMainOne) {
    std::atomic<bool> elsewhere{true};
    const std::thread::id mainThread = std::this_thread::get_id();
    MailThread worker(
        queue,
        [&, pump = Pump()](std::stop_token stop) {
            elsewhere = elsewhere && std::this_thread::get_id() != mainThread;
            pump(stop);
        },
        0ms);
    queue->QueueNotification("one");
    queue->QueueNotification("two");
    ASSERT_TRUE(WaitUntil([&] { return queue->Empty(); }, 5s));
    EXPECT_TRUE(elsewhere);
}

// Shutdown suspends, terminates and frees the worker; each of the first two alone ends a pass waiting
// on its stop token (as a send waits on its socket) at once.
TEST_F(MailWorkerTest, StoppingAWorkerInTheMiddleOfAPassEndsThePassAtOnce) {
    for (const bool suspend : {true, false}) {
        std::atomic<bool> stopped{false};
        auto worker = std::make_unique<MailThread>(queue, [&](std::stop_token stop) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            std::condition_variable_any().wait(lock, stop, [] { return false; });
            stopped = true;
        });
        queue->QueueNotification(suspend ? "text" : "other text");
        ASSERT_TRUE(WaitUntil([&] { return !worker->Suspended(); }, 5s));
        const auto started = std::chrono::steady_clock::now();
        suspend ? worker->Suspend() : worker->Terminate();
        worker.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
        EXPECT_TRUE(stopped);
    }
}

}  // namespace
}  // namespace kiosk
