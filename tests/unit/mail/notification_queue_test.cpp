// The notification queue: the texts waiting for the mail, without repetitions.

#include "mail/notification_queue.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kiosk
