// The notification queue: the texts waiting for the mail, without repetitions.

#include "mail/notification_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stop_token>
#include <string>
#include <vector>

namespace kiosk {
namespace {

using Strings = std::vector<std::string>;

TEST(NotificationQueue, DropsATextThatRepeatsTheOneBeforeItTakenOrWaiting) {
    NotificationQueue queue;
    queue.QueueNotification("a");
    queue.QueueNotification("a");
    queue.QueueNotification("b");
    EXPECT_EQ(queue.Texts(), (Strings{"a", "b"}));

    EXPECT_EQ(queue.TakeDigest(1).texts, Strings{"a"});
    EXPECT_EQ(queue.LastNotification(), "a");
    queue.QueueNotification("a");  // after "b": a text of its own
    queue.QueueNotification("A");  // the comparison is exact
    EXPECT_EQ(queue.Texts(), (Strings{"a", "b", "a", "A"}));
    queue.RemoveOldest(1);
    EXPECT_EQ(queue.Texts(), (Strings{"b", "a", "A"}));
}

TEST(NotificationQueue, ADigestStaysAtTheHeadUntilRemovedAndTheLastTakenIsNotQueuedAgain) {
    NotificationQueue queue;
    for (const char* text : {"a", "b", "c"}) queue.QueueNotification(text);
    const NotificationDigest digest = queue.TakeDigest(2);
    EXPECT_EQ(digest.texts, (Strings{"a", "b"}));
    EXPECT_EQ(digest.more, 1u);
    queue.QueueNotification("d");                                          // while it is being sent
    EXPECT_EQ(queue.TakeDigest(10).texts, (Strings{"a", "b", "c", "d"}));  // not sent: taken again
    queue.RemoveOldest(4);
    queue.QueueNotification("d");  // after it was sent
    EXPECT_TRUE(queue.Empty());
    EXPECT_TRUE(queue.TakeDigest(10).texts.empty());

    queue.ResetLastNotification();
    queue.QueueNotification("d");
    EXPECT_EQ(queue.Texts(), Strings{"d"});
    queue.Close();
    queue.RemoveOldest(1);  // a digest sent while the queue closed
    queue.QueueNotification("e");
    EXPECT_TRUE(queue.Empty());
}

TEST(NotificationQueue, AHeldQueueKeepsItsTextsFromTheWorkerUntilReleased) {
    NotificationQueue queue;
    queue.Hold();
    queue.QueueNotification("start-up error");
    std::stop_source stop;
    auto waiting = std::async(std::launch::async, [&] { return queue.WaitForText(stop.get_token()); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    queue.Release();
    EXPECT_TRUE(waiting.get());
    EXPECT_EQ(queue.Texts(), Strings{"start-up error"});
}

TEST(NotificationQueue, AFullQueueDropsAndCountsWhatComesMore) {
    NotificationQueue queue;
    for (size_t i = 0; i < NotificationQueue::kMostTexts + 5; ++i) queue.QueueNotification(std::to_string(i));
    EXPECT_EQ(queue.Texts().size(), NotificationQueue::kMostTexts);
    EXPECT_EQ(queue.Texts().back(),
              std::to_string(NotificationQueue::kMostTexts - 1));  // the oldest are kept
    EXPECT_EQ(queue.TakeDroppedCount(), 5u);
    EXPECT_EQ(queue.TakeDroppedCount(), 0u);
}

}  // namespace
}  // namespace kiosk
