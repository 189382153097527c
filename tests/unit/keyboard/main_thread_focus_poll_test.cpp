#include "keyboard/main_thread_focus_poll.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "tests/support/fake_ui.h"

namespace kiosk::testing {
namespace {

TEST(MainThreadFocusPoll, StartsReachTheMainThreadOnlyWhileTheLinkIsOpen) {
    EventRecord record;
    FakeUi ui{record};
    ui.queueCalls = true;
    int starts = 0;
    std::optional<MainThreadFocusPoll> poll;
    poll.emplace(ui, [&starts] { ++starts; });
    std::thread([&] { poll->StartFocusPoll(); }).join();
    EXPECT_EQ(starts, 0);
    ui.RunQueued();
    EXPECT_EQ(starts, 1);

    std::thread([&] { poll->StartFocusPoll(); }).join();
    poll.reset();
    ui.RunQueued();
    EXPECT_EQ(starts, 1);
}

}  // namespace
}  // namespace kiosk::testing
